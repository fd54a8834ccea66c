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

ScopedFileSystem::ScopedFileSystem(FileSystem& fs) : previous_(&FileSystem::Default()) {
  FileSystem::SetDefaultForTesting(&fs);
}

ScopedFileSystem::~ScopedFileSystem() { FileSystem::SetDefaultForTesting(previous_); }

}  // namespace norv
