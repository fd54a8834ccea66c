// LineConverter: turns a line into the bank file's character form (mode 1,
// before writing) and back (mode 0, after reading).
#pragma once

#include <cstdint>
#include <string>

namespace norv::host {

inline constexpr int32_t kConvertFromBank = 0;
inline constexpr int32_t kConvertToBank = 1;

class LineConverter {
 public:
  virtual ~LineConverter() = default;
  virtual std::u16string Convert(const std::u16string& text, int32_t mode) = 0;
};

}  // namespace norv::host
