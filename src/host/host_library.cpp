#include "host/host_library.h"

#include <utility>

#include "runtime/com_error.h"

namespace norv::host {
namespace {

// Every host thread has its own library; the component never shares one between threads.
thread_local std::shared_ptr<HostLibrary> current_library;
thread_local uint64_t install_count = 0;

}  // namespace

HostLibrary& HostLibrary::Current() {
  if (!current_library) RaiseRuntime(kErrObjectNotSet, u"no host library on this thread");
  return *current_library;
}

bool HostLibrary::IsInstalled() { return current_library != nullptr; }

void HostLibrary::Install(std::shared_ptr<HostLibrary> library) {
  ++install_count;
  // Swap first so that the old library is destroyed while the new one is already current.
  std::shared_ptr<HostLibrary> previous = std::exchange(current_library, std::move(library));
  previous.reset();
}

uint64_t HostLibrary::InstallCount() { return install_count; }

int32_t ShowSimpleMessage(MessageWindow& window, const std::u16string& text, int32_t kind) {
  return window.ShowMessage(text, u"", u"Gerai", u"", u"", u"", 0, 1, kind, u"", u"", u"", 0);
}

}  // namespace norv::host
