#include "import/tabbed_line.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace norv {

void TabbedLine::Split(std::u16string_view line) {
  line_ = line;
  quoted_ = 0;
  size_t field = 0;
  begin_[0] = 0;
  // Ends the current field at the tab at `pos`; false once every field is found.
  auto end_field = [&](size_t pos) {
    end_[field] = pos;
    if (++field == kMaxFields) return false;
    begin_[field] = pos + 1;
    return true;
  };

  size_t i = 0;
#if defined(__SSE2__)
  const __m128i tab = _mm_set1_epi16(u'\t');
  const __m128i quote = _mm_set1_epi16(u'"');
  for (; i + 16 <= line.size(); i += 16) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + i));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + i + 8));
    // One bit per character: equal characters give 0xFFFF, which packs to 0xFF.
    const uint32_t tabs = static_cast<uint16_t>(_mm_movemask_epi8(
        _mm_packs_epi16(_mm_cmpeq_epi16(low, tab), _mm_cmpeq_epi16(high, tab))));
    const uint32_t quotes = static_cast<uint16_t>(_mm_movemask_epi8(
        _mm_packs_epi16(_mm_cmpeq_epi16(low, quote), _mm_cmpeq_epi16(high, quote))));
    // Tabs and quotes in the order they stand: a quote belongs to the field
    // that the tabs before it have reached.
    for (uint32_t marks = tabs | quotes; marks != 0; marks &= marks - 1) {
      const uint32_t bit = marks & (0u - marks);
      if ((quotes & bit) != 0) {
        quoted_ |= 1u << field;
      } else if (!end_field(i + static_cast<size_t>(std::countr_zero(bit)))) {
        count_ = kMaxFields;
        return;
      }
    }
  }
#endif
  for (; i < line.size(); ++i) {
    if (line[i] == u'"') quoted_ |= 1u << field;
    if (line[i] == u'\t' && !end_field(i)) {
      count_ = kMaxFields;
      return;
    }
  }
  end_[field] = line.size();
  count_ = field + 1;
}

}  // namespace norv
