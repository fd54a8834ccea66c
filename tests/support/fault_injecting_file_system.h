// FaultInjectingFileSystem: a FileSystem for tests that passes every call to
// another one (the POSIX default unless told otherwise), counts the calls of
// each kind and makes a chosen call fail: FailNth(FileOp::kWrite, 3, ENOSPC)
// makes the third write from now raise what the operating system's ENOSPC
// raises (61), without passing that call on. ScopedFileSystem installs one as
// the process default for a scope.
#pragma once

#include <array>
#include <mutex>
#include <optional>
#include <string>

#include "files/file_system.h"

namespace norv {

class FaultInjectingFileSystem : public FileSystem {
 public:
  // Wraps the process default of the moment.
  FaultInjectingFileSystem();
  explicit FaultInjectingFileSystem(FileSystem& base);

  // The `n`-th call of kind `op` from now on (1 = the next one) fails with
  // `errno_value`; later calls pass again. One armed fault per kind.
  void FailNth(FileOp op, int n, int errno_value);
  // Every call of kind `op` from now on fails with `errno_value`.
  void FailAlways(FileOp op, int errno_value);
  void ClearFaults();
  // Calls of each kind so far, failed ones included.
  int Calls(FileOp op) const;

  Handle OpenForWrite(const std::u16string& p) override {
    return Enter(FileOp::kOpenWrite, p), base_.OpenForWrite(p);
  }
  Handle OpenForRead(const std::u16string& p) override {
    return Enter(FileOp::kOpenRead, p), base_.OpenForRead(p);
  }
  Handle OpenForAppend(const std::u16string& p) override {
    return Enter(FileOp::kOpenAppend, p), base_.OpenForAppend(p);
  }
  void Write(Handle h, std::string_view bytes) override {
    Enter(FileOp::kWrite, u""), base_.Write(h, bytes);
  }
  size_t Read(Handle h, char* buffer, size_t size) override {
    return Enter(FileOp::kRead, u""), base_.Read(h, buffer, size);
  }
  void Close(Handle handle) override;
  void Rename(const std::u16string& from, const std::u16string& to) override {
    Enter(FileOp::kRename, from), base_.Rename(from, to);
  }
  void Delete(const std::u16string& p) override { Enter(FileOp::kDelete, p), base_.Delete(p); }
  void Copy(const std::u16string& from, const std::u16string& to) override {
    Enter(FileOp::kCopy, to), base_.Copy(from, to);
  }
  void CreateFolder(const std::u16string& p) override {
    Enter(FileOp::kCreateFolder, p), base_.CreateFolder(p);
  }
  bool FolderExists(const std::u16string& p) override {
    return Enter(FileOp::kFolderExists, p), base_.FolderExists(p);
  }
  Date FileTime(const std::u16string& p) override {
    return Enter(FileOp::kFileTime, p), base_.FileTime(p);
  }
  int64_t FileLength(const std::u16string& p) override {
    return Enter(FileOp::kFileLength, p), base_.FileLength(p);
  }
  std::u16string CurrentDirectory() override {
    return Enter(FileOp::kCurrentDirectory, u""), base_.CurrentDirectory();
  }

 private:
  struct Fault {
    int remaining = 0;  // calls until the failing one; 0 = every call
    int errno_value = 0;
  };
  // Counts the call; raises when it is the one to fail.
  void Enter(FileOp op, std::u16string_view path);

  FileSystem& base_;
  mutable std::mutex mutex_;
  std::array<int, kFileOpCount> calls_{};
  std::array<std::optional<Fault>, kFileOpCount> faults_{};
};

// Installs a file system as the process default for the life of the object and
// brings the previous default back afterwards.
class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(FileSystem& fs);
  ~ScopedFileSystem();
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

 private:
  FileSystem* previous_;
};

}  // namespace norv
