// Who holds a file: the processes that hold a lock on it. The component takes
// a whole-file flock lock on every file it opens for reading or writing (a
// writer's is exclusive), so a host that meets "Permission denied" can tell
// the user which program has the file.
#pragma once

#include <string>
#include <vector>

namespace norv::hostkit {

// The processes that hold a flock lock on the file at `path` (UTF-8), as far as
// the system tells (Linux: /proc/locks); empty when none or unknown.
std::vector<long> ProcessesLockingFile(const std::string& path);

}  // namespace norv::hostkit
