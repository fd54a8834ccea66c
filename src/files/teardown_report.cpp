#include "files/teardown_report.h"

#include <cstdio>
#include <exception>

#include "core/messages.h"
#include "host/host_library.h"
#include "runtime/text.h"

namespace norv {
namespace {

void PrintToStandardError(const ComError& error, const char* why) noexcept {
  std::fprintf(stderr, "Norv_RazizeRuveRO_DOS: %s: error %d (%s): %s\n", why,
               static_cast<int>(error.number()), U16ToUtf8(error.source()).c_str(),
               U16ToUtf8(error.description()).c_str());
}

}  // namespace

void ReportTeardownError(const ComError& error) noexcept {
  if (!host::HostLibrary::IsInstalled()) {
    PrintToStandardError(error, "failure at teardown, no host to report to");
    return;
  }
  try {
    ReportError(error);
  } catch (const ComError& report_failure) {
    PrintToStandardError(error, "failure at teardown");
    PrintToStandardError(report_failure, "and its report failed");
  } catch (const std::exception& report_failure) {
    PrintToStandardError(error, "failure at teardown");
    std::fprintf(stderr, "Norv_RazizeRuveRO_DOS: and its report failed: %s\n",
                 report_failure.what());
  }
}

}  // namespace norv
