// The component's own error numbers.
#pragma once

#include <cstdint>

#include "../runtime/com_error.h"

namespace norv {

inline constexpr int32_t kErrExportCancelled = 1100;  // the target dialog was cancelled
inline constexpr int32_t kErrLineNotWritten = 1103;   // WriteStr returned false
inline constexpr int32_t kErrCannotOpenRateFile = kObjectErrorBase;    // 0x80040000
inline constexpr int32_t kErrRateLoadFailed = kObjectErrorBase + 100;  // 0x80040064
inline constexpr int32_t kErrBadPaymentType = kObjectErrorBase + 102;  // 0x80040066
inline constexpr int32_t kErrRequiredEmpty = kObjectErrorBase + 112;   // 0x80040070
inline constexpr int32_t kErrValueTooLong = kObjectErrorBase + 113;    // 0x80040071

}  // namespace norv
