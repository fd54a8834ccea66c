// Where the files the component names lie on disk, and which of them a run
// changed. The component names a file by a folder with "\" between its parts
// and a name; the disk wants "/".
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace norv::jobs {

// The disk path (UTF-8) of `name` in `folder`; an empty folder is the current one.
std::string DiskPath(const std::u16string& folder, const std::u16string& name);

// The files an export run may leave, its DP and FP files and their backups,
// each with the time it last changed (none: missing).
class RunFiles {
 public:
  RunFiles() = default;
  RunFiles(const std::u16string& folder, const std::u16string& dp_name,
           const std::u16string& fp_name);
  bool empty() const { return files_.empty(); }
  // The files that are new or changed since `before` looked.
  std::vector<std::string> ChangedSince(const RunFiles& before) const;

 private:
  std::map<std::string, std::optional<std::filesystem::file_time_type>> files_;
};

}  // namespace norv::jobs
