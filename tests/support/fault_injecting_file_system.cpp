#include "support/fault_injecting_file_system.h"

#include "runtime/com_error.h"

namespace norv {

FaultInjectingFileSystem::FaultInjectingFileSystem() : base_(FileSystem::Default()) {}

FaultInjectingFileSystem::FaultInjectingFileSystem(FileSystem& base) : base_(base) {}

void FaultInjectingFileSystem::FailNth(FileOp op, int n, int errno_value) {
  std::lock_guard<std::mutex> lock(mutex_);
  faults_[static_cast<size_t>(op)] = Fault{n < 1 ? 1 : n, errno_value};
}

void FaultInjectingFileSystem::FailAlways(FileOp op, int errno_value) {
  std::lock_guard<std::mutex> lock(mutex_);
  faults_[static_cast<size_t>(op)] = Fault{0, errno_value};
}

void FaultInjectingFileSystem::ClearFaults() {
  std::lock_guard<std::mutex> lock(mutex_);
  faults_.fill(std::nullopt);
}

int FaultInjectingFileSystem::Calls(FileOp op) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_[static_cast<size_t>(op)];
}

void FaultInjectingFileSystem::Enter(FileOp op, std::u16string_view path) {
  int errno_value = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const size_t index = static_cast<size_t>(op);
    ++calls_[index];
    std::optional<Fault>& fault = faults_[index];
    if (!fault) return;
    if (fault->remaining == 0) {
      errno_value = fault->errno_value;
    } else if (--fault->remaining == 0) {
      errno_value = fault->errno_value;
      fault.reset();
    } else {
      return;
    }
  }
  RaiseFileError(errno_value, path);
}

FileSystem::Handle FaultInjectingFileSystem::OpenForWrite(const std::u16string& path) {
  Enter(FileOp::kOpenWrite, path);
  return base_.OpenForWrite(path);
}

FileSystem::Handle FaultInjectingFileSystem::OpenForRead(const std::u16string& path) {
  Enter(FileOp::kOpenRead, path);
  return base_.OpenForRead(path);
}

FileSystem::Handle FaultInjectingFileSystem::OpenForAppend(const std::u16string& path) {
  Enter(FileOp::kOpenAppend, path);
  return base_.OpenForAppend(path);
}

void FaultInjectingFileSystem::Write(Handle handle, std::string_view bytes) {
  Enter(FileOp::kWrite, u"");
  base_.Write(handle, bytes);
}

size_t FaultInjectingFileSystem::Read(Handle handle, char* buffer, size_t size) {
  Enter(FileOp::kRead, u"");
  return base_.Read(handle, buffer, size);
}

void FaultInjectingFileSystem::Close(Handle handle) {
  try {
    Enter(FileOp::kClose, u"");
  } catch (const ComError&) {
    // A failing close still gives the handle back, as the contract says.
    base_.Close(handle);
    throw;
  }
  base_.Close(handle);
}

void FaultInjectingFileSystem::Rename(const std::u16string& from, const std::u16string& to) {
  Enter(FileOp::kRename, from);
  base_.Rename(from, to);
}

void FaultInjectingFileSystem::Delete(const std::u16string& path) {
  Enter(FileOp::kDelete, path);
  base_.Delete(path);
}

void FaultInjectingFileSystem::Copy(const std::u16string& from, const std::u16string& to) {
  Enter(FileOp::kCopy, to);
  base_.Copy(from, to);
}

void FaultInjectingFileSystem::CreateFolder(const std::u16string& path) {
  Enter(FileOp::kCreateFolder, path);
  base_.CreateFolder(path);
}

bool FaultInjectingFileSystem::FolderExists(const std::u16string& path) {
  Enter(FileOp::kFolderExists, path);
  return base_.FolderExists(path);
}

Date FaultInjectingFileSystem::FileTime(const std::u16string& path) {
  Enter(FileOp::kFileTime, path);
  return base_.FileTime(path);
}

int64_t FaultInjectingFileSystem::FileLength(const std::u16string& path) {
  Enter(FileOp::kFileLength, path);
  return base_.FileLength(path);
}

std::u16string FaultInjectingFileSystem::CurrentDirectory() {
  Enter(FileOp::kCurrentDirectory, u"");
  return base_.CurrentDirectory();
}

ScopedFileSystem::ScopedFileSystem(FileSystem& fs) : previous_(&FileSystem::Default()) {
  FileSystem::SetDefaultForTesting(&fs);
}

ScopedFileSystem::~ScopedFileSystem() { FileSystem::SetDefaultForTesting(previous_); }

}  // namespace norv
