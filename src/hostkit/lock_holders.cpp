#include "hostkit/lock_holders.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace norv::hostkit {

std::vector<long> ProcessesLockingFile(const std::string& path) {
  std::vector<long> holders;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return holders;
  // /proc/locks names the file by device and inode: "1: FLOCK ADVISORY WRITE
  // 4242 08:01:131 0 EOF"; a waiter's line has "->" after the number.
  char file_id[64];
  std::snprintf(file_id, sizeof file_id, "%02x:%02x:%lu", major(st.st_dev), minor(st.st_dev),
                static_cast<unsigned long>(st.st_ino));
  std::ifstream locks("/proc/locks");
  std::string line;
  while (std::getline(locks, line)) {
    std::istringstream fields(line);
    std::string number, kind, mode, access, id;
    long pid = 0;
    if (!(fields >> number >> kind) || kind != "FLOCK") continue;
    if (!(fields >> mode >> access >> pid >> id) || id != file_id || pid <= 0) continue;
    holders.push_back(pid);
  }
  return holders;
}

}  // namespace norv::hostkit
