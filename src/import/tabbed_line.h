// TabbedLine: the first fields of a tab-separated line. One pass over the line
// finds where each field ends and, when asked, how many double quotes each
// holds (32 characters at a time where the processor has SSE2), so that a
// statement line of 32 fields costs one scan and no search per field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace norv {

class TabbedLine {
 public:
  static constexpr size_t kMaxFields = 32;

  // Splits `line`, whose text must outlive the fields, into its first
  // kMaxFields fields; text after the last of them is ignored. Without
  // `count_quotes` every field reads as holding no quote.
  void Split(std::u16string_view line, bool count_quotes = true);

  // Field `i` (from 0): the text up to its tab, or to the end of the line for
  // the last one; empty when the line has fewer fields.
  std::u16string_view Field(size_t i) const {
    if (i >= count_) return {};
    const size_t begin = i == 0 ? 0 : end_[i - 1] + 1;
    return std::u16string_view(line_.data() + begin, end_[i] - begin);
  }
  // How many double quotes field `i` holds (counting stops at 255).
  unsigned Quotes(size_t i) const { return i < count_ ? quotes_[i] : 0; }

 private:
  std::u16string_view line_;
  size_t count_ = 0;
  size_t end_[kMaxFields] = {};
  uint8_t quotes_[kMaxFields] = {};
};

}  // namespace norv
