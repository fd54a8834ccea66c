#include "jobs/run_files.h"

#include <fstream>

#include "hostkit/lock_holders.h"
#include "runtime/text.h"

namespace norv::jobs {

std::string DiskPath(const std::u16string& folder, const std::u16string& name) {
  std::string joined = U16ToUtf8(folder);
  for (char& c : joined) {
    if (c == '\\') c = '/';
  }
  const std::filesystem::path base =
      joined.empty() ? std::filesystem::current_path() : std::filesystem::path(joined);
  return (base / U16ToUtf8(name)).lexically_normal().string();
}

std::string DiskPath(const std::u16string& component_path) {
  std::string path = U16ToUtf8(component_path);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

void NoticeFileInUse(const std::string& path, bool even_without_holder, JobEvents& events) {
  if (path.empty()) return;
  std::string holders;
  for (long pid : hostkit::ProcessesLockingFile(path)) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    holders += (holders.empty() ? " (held by process " : ", ") + std::to_string(pid) +
               (name.empty() ? "" : " " + name);
  }
  if (holders.empty() && !even_without_holder) return;
  events.Notice(NoticeKind::kFileInUse, path + (holders.empty() ? "" : holders + ")"));
}

RunFiles::RunFiles(const std::u16string& folder, const std::u16string& dp_name,
                   const std::u16string& fp_name) {
  for (const std::u16string& name : {dp_name, fp_name, dp_name + u".bak", fp_name + u".bak"}) {
    const std::string path = DiskPath(folder, name);
    std::error_code error;
    const auto changed = std::filesystem::last_write_time(path, error);
    files_[path] = error ? std::nullopt : std::optional(changed);
  }
}

std::vector<std::string> RunFiles::ChangedSince(const RunFiles& before) const {
  std::vector<std::string> changed;
  for (const auto& [path, time] : files_) {
    auto it = before.files_.find(path);
    const bool was = it != before.files_.end();
    if (time && (!was || it->second != time)) changed.push_back(path);
  }
  return changed;
}

}  // namespace norv::jobs
