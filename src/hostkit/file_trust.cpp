#include "hostkit/file_trust.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace norv::hostkit {

namespace {

// The kernel gives up after as many links (ELOOP); so does the walk.
constexpr int kMaxLinks = 40;

struct Policy {
  // An entry whose group is one of the user's may belong to a member and be
  // written by the group.
  bool own_groups_may_write;
  // The folder that holds the file may be writable by others when it is sticky.
  bool sticky_folder_may_hold_file;
};

constexpr Policy kCodePolicy{false, true};
constexpr Policy kDataPolicy{true, false};

std::string OctalMode(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

std::string Describe(const std::string& entry, const struct stat& st) {
  const char* kind = S_ISLNK(st.st_mode)   ? "the symbolic link"
                     : S_ISDIR(st.st_mode) ? "the folder"
                                           : "the file";
  return std::string(kind) + " '" + entry + "'";
}

// Whether `owner` is the only user of group `gid`: the group that systems with
// user private groups give each user, whose umask then leaves new files
// group-writable. A group that cannot be looked up is not one.
bool IsPrivateGroupOf(gid_t gid, uid_t owner) {
  std::vector<char> user_text(16 * 1024);
  struct passwd user {};
  struct passwd* found_user = nullptr;
  if (getpwuid_r(owner, &user, user_text.data(), user_text.size(), &found_user) != 0 ||
      found_user == nullptr) {
    return false;
  }
  std::vector<char> group_text(64 * 1024);
  struct group group {};
  struct group* found_group = nullptr;
  if (getgrgid_r(gid, &group, group_text.data(), group_text.size(), &found_group) != 0 ||
      found_group == nullptr) {
    return false;
  }
  for (char** member = group.gr_mem; *member != nullptr; ++member) {
    if (std::strcmp(*member, user.pw_name) != 0) return false;
  }
  // No other member listed: the owner's own group, or one that lists only them.
  return user.pw_gid == gid || group.gr_mem[0] != nullptr;
}

// Why others than `who` can change the entry `entry`; nullopt when they cannot.
// `holds_file`: the entry is the folder of the file the walk is about.
std::optional<std::string> EntryProblem(const std::string& entry, const struct stat& st,
                                        const Policy& policy, const Identity& who,
                                        bool holds_file) {
  bool group_is_ours = policy.own_groups_may_write && who.HasGroup(st.st_gid);
  if (st.st_uid != 0 && st.st_uid != who.uid && !group_is_ours) {
    return Describe(entry, st) + " belongs to user " + std::to_string(st.st_uid);
  }
  // Nobody can change a link in place; who may replace it was checked above and
  // at its folder.
  if (S_ISLNK(st.st_mode)) return std::nullopt;
  bool group_is_owners =
      (st.st_mode & S_IWGRP) != 0 && !group_is_ours && IsPrivateGroupOf(st.st_gid, st.st_uid);
  mode_t foreign_write = S_IWOTH | (group_is_ours || group_is_owners ? 0 : S_IWGRP);
  bool sticky = S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0 &&
                (!holds_file || policy.sticky_folder_may_hold_file);
  if ((st.st_mode & foreign_write) != 0 && !sticky) {
    return Describe(entry, st) + " is writable by other users (mode " + OctalMode(st.st_mode) + ")";
  }
  return std::nullopt;
}

// Appends the names of `path` so that the first one is taken (popped) first.
void PushNames(const std::string& path, std::vector<std::string>& pending) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = std::min(path.find('/', start), path.size());
    if (end > start) names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  // In reverse, with iterators: clang 14 cannot take libstdc++ 12's views::reverse.
  for (auto name = names.rbegin(); name != names.rend(); ++name)
    pending.push_back(std::move(*name));
}

std::string FolderText(const std::string& folder) { return folder.empty() ? "/" : folder; }

// Called right after the failed call, before anything else can change errno.
std::optional<std::string> StatFailure(const std::string& entry) {
  std::string reason = std::strerror(errno);
  return "'" + entry + "' cannot be examined (" + reason + ")";
}

// Walks the absolute `path` as the kernel resolves it and checks every entry.
std::optional<std::string> WalkPath(const std::string& path, const Policy& policy,
                                    const Identity& who) {
  struct stat st {};
  if (lstat("/", &st) != 0) return StatFailure("/");
  if (auto problem = EntryProblem("/", st, policy, who, false)) return problem;
  std::vector<std::string> pending;
  PushNames(path, pending);
  std::string folder;  // the folder reached, links resolved; "" is "/"
  int links = 0;
  while (!pending.empty()) {
    std::string name = std::move(pending.back());
    pending.pop_back();
    if (name == ".") continue;
    if (name == "..") {  // the parent of a resolved folder was checked on the way down
      folder.resize(folder.rfind('/') == std::string::npos ? 0 : folder.rfind('/'));
      continue;
    }
    std::string entry = folder + "/" + name;
    if (lstat(entry.c_str(), &st) != 0) return StatFailure(entry);
    if (auto problem = EntryProblem(entry, st, policy, who, false)) return problem;
    if (S_ISLNK(st.st_mode)) {
      if (++links > kMaxLinks) return "'" + path + "' goes through too many symbolic links";
      char buffer[PATH_MAX];
      ssize_t length = readlink(entry.c_str(), buffer, sizeof buffer);
      if (length < 0 || static_cast<size_t>(length) >= sizeof buffer) return StatFailure(entry);
      std::string target(buffer, static_cast<size_t>(length));
      if (target.starts_with('/')) folder.clear();
      PushNames(target, pending);
      continue;
    }
    if (!pending.empty()) {
      if (!S_ISDIR(st.st_mode)) return Describe(entry, st) + " is not a folder";
      folder = entry;
      continue;
    }
    if (!S_ISREG(st.st_mode)) return Describe(entry, st) + " is not a regular file";
    // The folder that holds the file, judged as such.
    if (lstat(FolderText(folder).c_str(), &st) != 0) return StatFailure(FolderText(folder));
    return EntryProblem(FolderText(folder), st, policy, who, true);
  }
  return "'" + path + "' names a folder, not a file";
}

}  // namespace

Identity Identity::OfThisProcess() {
  Identity who;
  who.uid = geteuid();
  who.groups.push_back(getegid());
  int count = getgroups(0, nullptr);
  if (count > 0) {
    std::vector<gid_t> more(static_cast<size_t>(count));
    count = getgroups(count, more.data());
    if (count > 0) who.groups.insert(who.groups.end(), more.begin(), more.begin() + count);
  }
  return who;
}

bool Identity::HasGroup(gid_t gid) const {
  return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

std::optional<std::string> UntrustedCodeReason(const std::string& path, const Identity& who) {
  if (!path.starts_with('/')) return "'" + path + "' is not an absolute path";
  return WalkPath(path, kCodePolicy, who);
}

std::optional<std::string> ExposedDataReason(const std::string& path, const Identity& who) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return "'" + path + "' cannot be examined (" + error.message() + ")";
  return WalkPath(absolute.string(), kDataPolicy, who);
}

bool CreateOwnerOnlyFile(const std::string& path) {
  int fd =
      open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
  if (fd < 0) return false;
  close(fd);
  return true;
}

std::string ModeText(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? OctalMode(st.st_mode) : "";
}

}  // namespace norv::hostkit
