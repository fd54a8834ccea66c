#include "core/messages.h"

#include <memory>

#include "host/host_library.h"
#include "runtime/text.h"

namespace norv {
namespace {

// Library-wide values of the thread: the object Main keeps, and the host
// installation Main last ran for (a host that replaces its library on the thread
// brings new library-wide objects, so start-up runs again for it).
thread_local std::unique_ptr<host::StartupObject> startup_object;
thread_local bool main_has_run = false;
thread_local uint64_t main_ran_for_install = 0;

}  // namespace

void Main() {
  const uint64_t install = host::HostLibrary::InstallCount();
  if (main_has_run && main_ran_for_install == install) return;
  host::HostLibrary& library = host::HostLibrary::Current();
  library.Resources().UseResourceModule(u"NorvFormRes");
  startup_object.reset();
  startup_object = library.CreateStartupObject();
  main_has_run = true;
  main_ran_for_install = install;
}

std::u16string FormatTemplate(std::u16string Template, const std::vector<Variant>& Args) {
  if (Template.empty()) return Template;
  // Downward, so that "%1" never eats the start of "%10".
  for (int64_t i = static_cast<int64_t>(Args.size()) - 1; i >= 0; --i) {
    Template =
        ReplaceAll(Template, u"%" + IntToText(i), VariantToText(Args[static_cast<size_t>(i)]));
  }
  return Template;
}

std::u16string LoadResourceText(int32_t id) {
  return host::HostLibrary::Current().Resources().LoadText(id);
}

void ReportError(const ComError& error) {
  host::HostLibrary::Current().CreateHostApp()->ShowPendingError(error);
}

}  // namespace norv
