#include "import/tabbed_line.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace norv {
namespace {

#if defined(__SSE2__)
// One bit per character of the sixteen at `chars` that equal `c`: equal
// characters compare to 0xFFFF, which packs to the byte 0xFF.
uint32_t Marks16(const char16_t* chars, __m128i c) {
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + 8));
  return static_cast<uint16_t>(
      _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(low, c), _mm_cmpeq_epi16(high, c))));
}
#endif

}  // namespace

void TabbedLine::Split(std::u16string_view line) {
  line_ = line;
  quoted_ = 0;
  size_t field = 0;
  begin_[0] = 0;
  // Takes the tabs and quotes of the characters from `start`, one bit each, in
  // the order they stand: a tab ends the current field, a quote marks it. False
  // once every field is found.
  auto take_marks = [&](size_t start, uint32_t tabs, uint32_t quotes) {
    for (uint32_t marks = tabs | quotes; marks != 0; marks &= marks - 1) {
      const uint32_t bit = marks & (0u - marks);
      if ((quotes & bit) != 0) {
        quoted_ |= 1u << field;
        continue;
      }
      const size_t pos = start + static_cast<size_t>(std::countr_zero(bit));
      end_[field] = pos;
      if (++field == kMaxFields) return false;
      begin_[field] = pos + 1;
    }
    return true;
  };

  size_t i = 0;
#if defined(__SSE2__)
  const __m128i tab = _mm_set1_epi16(u'\t');
  const __m128i quote = _mm_set1_epi16(u'"');
  for (; i + 32 <= line.size(); i += 32) {
    const char16_t* chars = line.data() + i;
    const uint32_t tabs = Marks16(chars, tab) | Marks16(chars + 16, tab) << 16;
    const uint32_t quotes = Marks16(chars, quote) | Marks16(chars + 16, quote) << 16;
    if (!take_marks(i, tabs, quotes)) {
      count_ = kMaxFields;
      return;
    }
  }
  if (i + 16 <= line.size()) {
    if (!take_marks(i, Marks16(line.data() + i, tab), Marks16(line.data() + i, quote))) {
      count_ = kMaxFields;
      return;
    }
    i += 16;
  }
#endif
  for (; i < line.size(); ++i) {
    const uint32_t tabs = line[i] == u'\t';
    const uint32_t quotes = line[i] == u'"';
    if (!take_marks(i, tabs, quotes)) {
      count_ = kMaxFields;
      return;
    }
  }
  end_[field] = line.size();
  count_ = field + 1;
}

}  // namespace norv
