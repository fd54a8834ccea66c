// What the whole library shares for user-visible texts and failures: the
// start-up procedure, message templates and the dialogs' error report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/com_error.h"
#include "runtime/variant.h"

namespace norv {

// The start-up procedure: once per host thread, before the first component object
// there. Chooses the resource module "NorvFormRes" and keeps the host's start-up
// object. Later calls on the same thread do nothing.
void Main();

// Replaces "%i" by the text of Args[i], i from the last index down to 0, every
// occurrence, binary compare; an empty template is returned unchanged.
std::u16string FormatTemplate(std::u16string Template, const std::vector<Variant>& Args);

// The text of a resource id from the thread's ResourceService.
std::u16string LoadResourceText(int32_t id);

// Shows a pending error through a new host HostApp (ShowPendingError).
void ReportError(const ComError& error);

// Runs `handler`, the body of a dialog's event handler that traps its errors:
// a ComError gets `source` (when not empty) and goes to ReportError. Returns false
// when an error was reported. Other exceptions pass on.
template <typename Fn>
bool TrapErrors(const std::u16string& source, Fn&& handler) {
  try {
    handler();
    return true;
  } catch (ComError& error) {
    if (!source.empty()) error.set_source(source);
    ReportError(error);
    return false;
  }
}

}  // namespace norv
