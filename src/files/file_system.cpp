#include "files/file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <optional>
#include <vector>

#include "runtime/com_error.h"
#include "runtime/text.h"

namespace norv {
namespace {

bool IsFolder(const std::string& posix_path) {
  struct stat st;
  return ::stat(posix_path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder that holds `posix_path` ("." for a bare name).
std::string ParentFolder(std::string posix_path) {
  while (posix_path.size() > 1 && posix_path.back() == '/') posix_path.pop_back();
  const size_t slash = posix_path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return posix_path.substr(0, slash);
}

// Takes a whole-file lock without waiting; true when another open file
// description holds a conflicting one. A file system that cannot lock (ENOLCK,
// EOPNOTSUPP) leaves the file unshared rather than unusable.
bool LockRefused(int fd, int operation) {
  int rc;
  do {
    rc = ::flock(fd, operation | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  return rc != 0 && errno == EWOULDBLOCK;
}

// Refuses, as the platform's sharing violation did, with 70: closes `fd` and
// raises when another holds a conflicting lock.
void LockOrRaise(int fd, int operation, const std::u16string& path) {
  if (!LockRefused(fd, operation)) return;
  ::close(fd);
  RaiseFileError(EACCES, path);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// While alive, holds an exclusive lock on an existing file, so that a file
// another process has open through this layer is not renamed, deleted or
// replaced under it (the platform refused those for a file in use). A name
// that cannot be opened is left to the operation itself to report.
class InUseGuard {
 public:
  explicit InUseGuard(const std::u16string& path) {
    fd_ = ::open(ToPosixPath(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) return;
    struct stat st;
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd_);
      fd_ = -1;
      return;
    }
    LockOrRaise(fd_, LOCK_EX, path);
  }
  ~InUseGuard() {
    if (fd_ >= 0) ::close(fd_);
  }
  InUseGuard(const InUseGuard&) = delete;
  InUseGuard& operator=(const InUseGuard&) = delete;

 private:
  int fd_ = -1;
};

class PosixFileSystem final : public FileSystem {
 public:
  // The lock comes before the truncation: a file that another holds is left
  // as it is.
  Handle OpenForWrite(const std::u16string& path) override {
    const Handle fd = OpenWith(path, O_WRONLY | O_CREAT);
    LockOrRaise(fd, LOCK_EX, path);
    if (::ftruncate(fd, 0) != 0) {
      const int err = errno;
      ::close(fd);
      RaiseFileError(err, path);
    }
    return fd;
  }
  Handle OpenForRead(const std::u16string& path) override {
    const Handle fd = OpenWith(path, O_RDONLY);
    LockOrRaise(fd, LOCK_SH, path);
    return fd;
  }
  // Appending asks for no sharing restriction, so it takes no lock.
  Handle OpenForAppend(const std::u16string& path) override {
    return OpenWith(path, O_WRONLY | O_CREAT | O_APPEND);
  }

  void Write(Handle handle, std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t written = ::write(handle, bytes.data(), bytes.size());
      if (written < 0) {
        if (errno == EINTR) continue;
        RaiseFileError(errno, u"");
      }
      bytes.remove_prefix(static_cast<size_t>(written));
    }
  }

  size_t Read(Handle handle, char* buffer, size_t size) override {
    for (;;) {
      const ssize_t got = ::read(handle, buffer, size);
      if (got >= 0) return static_cast<size_t>(got);
      if (errno != EINTR) RaiseFileError(errno, u"");
    }
  }

  void Close(Handle handle) override {
    // Linux releases the descriptor even when close reports an error, so a
    // retry after EINTR could close someone else's file.
    if (::close(handle) != 0 && errno != EINTR) RaiseFileError(errno, u"");
  }

  void Rename(const std::u16string& from, const std::u16string& to) override {
    const std::string source = ToPosixPath(from);
    const InUseGuard source_free(from);
    // A name for the same file is guarded already (a second lock would refuse it).
    std::optional<InUseGuard> target_free;
    if (!SameFile(source, ToPosixPath(to))) target_free.emplace(to);
    if (::rename(source.c_str(), ToPosixPath(to).c_str()) != 0) {
      const int err = errno;
      // Tell which of the two names is at fault for a missing file or folder.
      if (err == ENOENT && ::access(source.c_str(), F_OK) == 0) RaiseFileError(err, to);
      RaiseFileError(err, from);
    }
  }

  void Delete(const std::u16string& path) override {
    const InUseGuard free(path);
    if (::unlink(ToPosixPath(path).c_str()) != 0) RaiseFileError(errno, path);
  }

  void Copy(const std::u16string& from, const std::u16string& to) override {
    const int in = ::open(ToPosixPath(from).c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) RaiseFileError(errno, from);
    LockOrRaise(in, LOCK_SH, from);
    struct stat st;
    int err = 0;
    if (::fstat(in, &st) != 0) {
      err = errno;
    } else if (S_ISDIR(st.st_mode)) {
      err = EISDIR;
    }
    if (err != 0) {
      ::close(in);
      RaiseFileError(err, from);
    }
    // Truncating the target must not destroy the source when both name one file.
    struct stat target;
    if (::stat(ToPosixPath(to).c_str(), &target) == 0 && target.st_dev == st.st_dev &&
        target.st_ino == st.st_ino) {
      ::close(in);
      RaiseFileError(EACCES, to);
    }
    const int out = ::open(ToPosixPath(to).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (out < 0) {
      const int err = errno;
      ::close(in);
      RaiseFileError(err, to);
    }
    const bool refused = LockRefused(out, LOCK_EX);
    if (refused || ::ftruncate(out, 0) != 0) {
      const int err = refused ? EACCES : errno;
      ::close(out);
      ::close(in);
      RaiseFileError(err, to);
    }
    std::vector<char> buffer(1 << 16);
    for (;;) {
      const ssize_t got = ::read(in, buffer.data(), buffer.size());
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        err = errno;
        break;
      }
      if (got == 0) break;
      ssize_t done = 0;
      while (done < got) {
        const ssize_t written = ::write(out, buffer.data() + done, static_cast<size_t>(got - done));
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) {
          err = errno;
          break;
        }
        done += written;
      }
      if (err != 0) break;
    }
    if (err == 0) {
      // A copy keeps the source's modification time, as the platform's file copy does.
      const struct timespec times[2] = {st.st_atim, st.st_mtim};
      if (::futimens(out, times) != 0) err = errno;
    }
    ::close(in);
    if (::close(out) != 0 && err == 0 && errno != EINTR) err = errno;
    if (err != 0) RaiseFileError(err, to);
  }

  void CreateFolder(const std::u16string& path) override {
    if (::mkdir(ToPosixPath(path).c_str(), 0777) != 0) RaiseFileError(errno, path);
  }

  bool FolderExists(const std::u16string& path) override {
    struct stat st;
    if (::stat(ToPosixPath(path).c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (errno == ENOENT || errno == ENOTDIR) return false;
    RaiseFileError(errno, path);
  }

  Date FileTime(const std::u16string& path) override {
    const struct stat st = Stat(path);
    struct tm local;
    const time_t seconds = st.st_mtim.tv_sec;
    if (::localtime_r(&seconds, &local) == nullptr) RaiseFileError(EOVERFLOW, path);
    return Date::FromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                           local.tm_min, local.tm_sec);
  }

  int64_t FileLength(const std::u16string& path) override {
    return static_cast<int64_t>(Stat(path).st_size);
  }

  std::u16string CurrentDirectory() override {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
      if (errno != ERANGE) RaiseFileError(errno, u"");
      buffer.resize(buffer.size() * 2);
    }
    return Utf8ToU16(buffer.data());
  }

 private:
  static Handle OpenWith(const std::u16string& path, int flags) {
    const std::string posix = ToPosixPath(path);
    int fd;
    do {
      fd = ::open(posix.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) RaiseFileError(errno, path);
    // open() accepts a folder for reading; the platform's files do not.
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(fd);
      RaiseFileError(EISDIR, path);
    }
    return fd;
  }

  static struct stat Stat(const std::u16string& path) {
    struct stat st;
    if (::stat(ToPosixPath(path).c_str(), &st) != 0) RaiseFileError(errno, path);
    return st;
  }
};

PosixFileSystem& Posix() {
  static PosixFileSystem* const posix = new PosixFileSystem;  // never destroyed: used at exit
  return *posix;
}

std::atomic<FileSystem*> g_installed{nullptr};

}  // namespace

FileSystem& FileSystem::Default() {
  FileSystem* installed = g_installed.load(std::memory_order_acquire);
  return installed != nullptr ? *installed : Posix();
}

void FileSystem::SetDefaultForTesting(FileSystem* fs) {
  g_installed.store(fs, std::memory_order_release);
}

std::string ToPosixPath(std::u16string_view path) {
  std::string posix = U16ToUtf8(path);
  for (char& c : posix) {
    if (c == '\\') c = '/';
  }
  return posix;
}

void RaiseFileError(int errno_value, std::u16string_view path) {
  switch (errno_value) {
    case ENOENT: {
      const std::string posix = ToPosixPath(path);
      RaiseRuntime(posix.empty() || IsFolder(ParentFolder(posix)) ? kErrFileNotFound
                                                                  : kErrPathNotFound);
    }
    case ENOTDIR:
      RaiseRuntime(kErrPathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
      RaiseRuntime(kErrPermissionDenied);
    case ENOSPC:
    case EDQUOT:
      RaiseRuntime(kErrDiskFull);
    case EIO:
      RaiseRuntime(kErrDeviceIo);
    case EMFILE:
    case ENFILE:
      RaiseRuntime(kErrTooManyFiles);
    default:
      RaiseRuntime(kErrPathFileAccess);
  }
}

}  // namespace norv
