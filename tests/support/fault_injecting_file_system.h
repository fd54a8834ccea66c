// FaultInjectingFileSystem: a FileSystem for tests that passes every call to
// the process default of its creation (the POSIX one unless told otherwise),
// counts the calls of each kind and makes a chosen call fail:
// FailNth(FileOp::kWrite, 3, ENOSPC) makes the third write from now raise what
// the operating system's ENOSPC raises (61), without passing that call on.
// ScopedFileSystem installs one as the process default for a scope.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "files/file_system.h"

namespace norv {

class FaultInjectingFileSystem : public FileSystem {
 public:
  using enum FileOp;
  // The `n`-th call of kind `op` from now on (1 = the next one) fails with
  // `errno_value`; later calls pass again. One armed fault per kind.
  void FailNth(FileOp op, int n, int err) { faults_[At(op)] = {std::max(n, 1), err, false}; }
  // Every call of kind `op` from now on fails with `errno_value`.
  void FailAlways(FileOp op, int err) { faults_[At(op)] = {0, err, true}; }
  // Calls of each kind so far, failed ones included.
  int Calls(FileOp op) const { return calls_[At(op)]; }

  using P = const std::u16string&;
  Handle OpenForWrite(P p) override { return Enter(kOpenWrite, p), fs_.OpenForWrite(p); }
  Handle OpenForRead(P p) override { return Enter(kOpenRead, p), fs_.OpenForRead(p); }
  Handle OpenForAppend(P p) override { return Enter(kOpenAppend, p), fs_.OpenForAppend(p); }
  void Write(Handle h, std::string_view b) override { Enter(kWrite, u""), fs_.Write(h, b); }
  size_t Read(Handle h, char* b, size_t n) override { return Enter(kRead, u""), fs_.Read(h, b, n); }
  void Close(Handle h) override {
    try {
      Enter(kClose, u"");
    } catch (...) {
      fs_.Close(h);  // a failing close still gives the handle back, as the contract says
      throw;
    }
    fs_.Close(h);
  }
  void Rename(P from, P to) override { Enter(kRename, from), fs_.Rename(from, to); }
  void Delete(P p) override { Enter(kDelete, p), fs_.Delete(p); }
  void Copy(P from, P to) override { Enter(kCopy, to), fs_.Copy(from, to); }
  void CreateFolder(P p) override { Enter(kCreateFolder, p), fs_.CreateFolder(p); }
  bool FolderExists(P p) override { return Enter(kFolderExists, p), fs_.FolderExists(p); }
  Date FileTime(P p) override { return Enter(kFileTime, p), fs_.FileTime(p); }
  int64_t FileLength(P p) override { return Enter(kFileLength, p), fs_.FileLength(p); }
  std::u16string CurrentDirectory() override {
    return Enter(kCurrentDirectory, u""), fs_.CurrentDirectory();
  }

 private:
  // `nth`: calls until the failing one, 0: none armed.
  struct Fault {
    int nth = 0, errno_value = 0;
    bool always = false;
  };
  static size_t At(FileOp op) { return static_cast<size_t>(op); }
  // Counts the call; raises when it is the one to fail.
  void Enter(FileOp op, std::u16string_view path) {
    ++calls_[At(op)];
    Fault& fault = faults_[At(op)];
    if (fault.always || (fault.nth > 0 && --fault.nth == 0))
      RaiseFileError(fault.errno_value, path);
  }

  FileSystem& fs_ = FileSystem::Default();
  std::array<int, kFileOpCount> calls_{};
  std::array<Fault, kFileOpCount> faults_{};
};

// Installs a file system as the process default for the life of the object and
// brings the previous default back afterwards.
class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(FileSystem& fs) { FileSystem::SetDefaultForTesting(&fs); }
  ~ScopedFileSystem() { FileSystem::SetDefaultForTesting(previous_); }
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

 private:
  FileSystem* previous_ = &FileSystem::Default();
};

}  // namespace norv
