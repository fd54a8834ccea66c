// TabbedLine: the first fields of a tab-separated line. One pass over the line
// finds where each field ends and which fields hold a double quote (32
// characters at a time where the processor has SSE2), so that a statement line
// of 32 fields costs one scan and no search per field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace norv {

class TabbedLine {
 public:
  static constexpr size_t kMaxFields = 32;

  // Splits `line`, whose text must outlive the fields, into its first
  // kMaxFields fields; text after the last of them is ignored.
  void Split(std::u16string_view line);

  // Field `i` (from 0): the text up to its tab, or to the end of the line for
  // the last one; empty when the line has fewer fields.
  std::u16string_view Field(size_t i) const {
    if (i >= count_) return {};
    return std::u16string_view(line_.data() + begin_[i], end_[i] - begin_[i]);
  }
  bool HasQuote(size_t i) const { return i < kMaxFields && ((quoted_ >> i) & 1) != 0; }

 private:
  std::u16string_view line_;
  size_t count_ = 0;
  size_t begin_[kMaxFields] = {};
  size_t end_[kMaxFields] = {};
  uint32_t quoted_ = 0;  // one bit per field
  static_assert(kMaxFields <= 32, "quoted_ holds one bit per field");
};

}  // namespace norv
