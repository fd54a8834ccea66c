// File trust: who besides the user this process runs as can change a file the
// default host relies on, checked before it loads code or keeps bank data.
//
// Every check walks the path from "/" down, entry by entry, with lstat; a
// symbolic link is followed (its target is walked the same way) and judged by
// its owner, since its own mode means nothing. An entry is trusted when it
// belongs to root or the user and neither its group nor others may write it;
// a group of which the entry's owner is the only user (a user private group)
// counts as the owner. Two policies relax that rule:
//
//   Code (a library for dlopen): the path must be absolute and name a regular
//   file. A folder with the sticky bit (like /tmp) may be writable by all,
//   including the library's own folder: there nobody but an entry's owner can
//   rename or remove it, and the entries below are checked in turn.
//
//   Data (the database): an entry whose group is one of the user's own may also
//   belong to another member and be writable by the group, the set-up of an
//   office sharing one database. The database's own folder must not be writable
//   by others even with the sticky bit: others could place the side files
//   (-journal, -wal) that SQLite reads next to the database.
//
// The answers are texts for error messages and warnings; nullopt means trusted.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace norv::hostkit {

// The user a check is made for: an effective user and its groups.
struct Identity {
  uid_t uid = 0;
  std::vector<gid_t> groups;

  static Identity OfThisProcess();
  bool HasGroup(gid_t gid) const;
};

// Why the library at `path` must not be loaded, e.g. "the folder '/opt/x' is
// writable by others than its owner (mode 0777)"; nullopt when it may be.
std::optional<std::string> UntrustedCodeReason(const std::string& path,
                                               const Identity& who = Identity::OfThisProcess());

// Why users outside `who` and its groups can change the database at `path`
// (relative to the working folder when not absolute); nullopt when they cannot.
std::optional<std::string> ExposedDataReason(const std::string& path,
                                             const Identity& who = Identity::OfThisProcess());

// Creates `path` as an empty file that only its owner may read and write, unless
// something exists there already (then it is left alone). Returns whether it
// created the file; a failure to create is left to whoever opens the path next.
bool CreateOwnerOnlyFile(const std::string& path);

// The permission bits of `path` in octal ("0600"), "" when it cannot be examined.
std::string ModeText(const std::string& path);

}  // namespace norv::hostkit
