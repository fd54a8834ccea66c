// LineConverter: turns a line into the bank file's character form (mode 1,
// before writing) and back (mode 0, after reading).
#pragma once

#include <cstdint>
#include <string>

#include "../runtime/export.h"

namespace norv::host {

inline constexpr int32_t kConvertFromBank = 0;
inline constexpr int32_t kConvertToBank = 1;

class NORV_EXPORT LineConverter {
 public:
  virtual ~LineConverter() = default;
  // The converted line (mode kConvertToBank or kConvertFromBank). A converter
  // that returns `text` unchanged is valid. An error raised here ends the
  // ExportDoc or the import call that converted the line.
  virtual std::u16string Convert(const std::u16string& text, int32_t mode) = 0;
};

}  // namespace norv::host
