// FileSystem: the one door through which the component touches the file
// system, in the manner of LevelDB's Env. The process default talks to POSIX;
// tests may install another (see tests/support/fault_injecting_file_system.h) so that any
// call can be made to fail.
//
// Contract for every implementation:
//   - paths are the component's own texts; "\" and "/" both separate folders
//     (ToPosixPath turns them into what the operating system takes);
//   - a failure raises a runtime ComError, the number chosen by RaiseFileError
//     from the operating system's errno, the description the number's usual one;
//   - handles are opaque; a handle given to Close is gone afterwards, even when
//     Close raises;
//   - sharing, as the platform asked for it: a file open for writing is held
//     exclusively and one open for reading shared, so another writer, or a
//     reader of a file being written, fails at once with 70; appending shares
//     everything. A file held so is not renamed, deleted or copied over (70).
//     The POSIX layer uses flock(2) locks, which bind every program that opens
//     the files through this layer, whatever process it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/date.h"

namespace norv {

// The kinds of calls, for counting and for fault injection.
enum class FileOp {
  kOpenWrite,  // create or truncate for writing
  kOpenRead,
  kOpenAppend,  // create if missing, write after the end
  kWrite,
  kRead,
  kClose,
  kRename,
  kDelete,
  kCopy,
  kCreateFolder,
  kFolderExists,
  kFileTime,
  kFileLength,
  kCurrentDirectory,
};
inline constexpr int kFileOpCount = static_cast<int>(FileOp::kCurrentDirectory) + 1;

class FileSystem {
 public:
  using Handle = int;

  virtual ~FileSystem() = default;

  // The process-wide file system: the POSIX one unless a test installed another.
  static FileSystem& Default();
  // Installs `fs` as the default (not owned; it must outlive its use); nullptr
  // brings the POSIX one back.
  static void SetDefaultForTesting(FileSystem* fs);

  virtual Handle OpenForWrite(const std::u16string& path) = 0;
  virtual Handle OpenForRead(const std::u16string& path) = 0;
  virtual Handle OpenForAppend(const std::u16string& path) = 0;
  // Writes all of `bytes` or raises.
  virtual void Write(Handle handle, std::string_view bytes) = 0;
  // Reads up to `size` bytes; 0 only at the end of the file.
  virtual size_t Read(Handle handle, char* buffer, size_t size) = 0;
  virtual void Close(Handle handle) = 0;

  // Replaces an existing `to`.
  virtual void Rename(const std::u16string& from, const std::u16string& to) = 0;
  virtual void Delete(const std::u16string& path) = 0;
  // Copies contents and modification time; replaces an existing `to`.
  virtual void Copy(const std::u16string& from, const std::u16string& to) = 0;
  // Creates the last level only; an existing folder raises 75.
  virtual void CreateFolder(const std::u16string& path) = 0;
  // False when nothing or something other than a folder has that name.
  virtual bool FolderExists(const std::u16string& path) = 0;
  // Last modification, local time, to the second.
  virtual Date FileTime(const std::u16string& path) = 0;
  virtual int64_t FileLength(const std::u16string& path) = 0;
  // Without a trailing separator, except for the root "/".
  virtual std::u16string CurrentDirectory() = 0;
};

// The path as the operating system takes it: every "\" made "/", UTF-8.
std::string ToPosixPath(std::u16string_view path);

// Raises the runtime error for an errno met on `path`: ENOENT gives 53 when the
// path's folder exists and 76 when it does not; ENOTDIR 76; EACCES, EPERM and
// EROFS 70; ENOSPC and EDQUOT 61; EIO 57; EMFILE and ENFILE 67; anything else
// (EISDIR, EEXIST, ...) 75.
[[noreturn]] void RaiseFileError(int errno_value, std::u16string_view path);

}  // namespace norv
