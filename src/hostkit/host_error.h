// Errors of the default host. They reach the component (and the program) as
// ComError like every other failure: a classic runtime number, a source naming
// the host service, and a description that says what went wrong and with what.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/com_error.h"

namespace norv::hostkit {

// Numbers the platform uses for failures outside the runtime's own list.
inline constexpr int32_t kErrLoadingLibrary = 48;       // Error in loading DLL
inline constexpr int32_t kErrCannotCreateObject = 429;  // ActiveX component can't create object
inline constexpr int32_t kErrNotSupported = 438;  // Object doesn't support this property or method
inline constexpr int32_t kErrEntryPointMissing = 453;  // Specified DLL function not found

// The usual description of `number` (runtime numbers and the three above),
// then ": " and `detail`.
std::u16string HostErrorDescription(int32_t number, std::u16string_view detail);

[[noreturn]] void RaiseHostError(int32_t number, std::u16string source, std::u16string_view detail);

}  // namespace norv::hostkit
