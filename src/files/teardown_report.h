// Where a failure goes when it is met in a destructor, which cannot raise: to
// the host's error report (ReportError) when the thread has a host, otherwise,
// or when the report itself fails, to standard error. Nothing is dropped.
#pragma once

#include "runtime/com_error.h"

namespace norv {

void ReportTeardownError(const ComError& error) noexcept;

}  // namespace norv
