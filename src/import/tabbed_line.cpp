#include "import/tabbed_line.h"

#include <algorithm>
#include <bit>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace norv {
namespace {

// The tabs and the double quotes among 32 characters, one bit per character.
struct Marks {
  uint32_t tabs = 0;
  uint32_t quotes = 0;
};

template <bool kCountQuotes>
Marks Marks32(const char16_t* chars) {
  Marks marks;
#if defined(__SSE2__)
  const __m128i tab = _mm_set1_epi16(u'\t');
  const __m128i quote = _mm_set1_epi16(u'"');
  for (int half = 0; half < 2; ++half) {
    const char16_t* part = chars + 16 * half;
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(part));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(part + 8));
    // Equal characters compare to 0xFFFF, which packs to the byte 0xFF.
    const uint32_t tabs = static_cast<uint16_t>(
        _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(low, tab), _mm_cmpeq_epi16(high, tab))));
    marks.tabs |= tabs << (16 * half);
    if constexpr (kCountQuotes) {
      const uint32_t quotes = static_cast<uint16_t>(_mm_movemask_epi8(
          _mm_packs_epi16(_mm_cmpeq_epi16(low, quote), _mm_cmpeq_epi16(high, quote))));
      marks.quotes |= quotes << (16 * half);
    }
  }
#else
  for (uint32_t k = 0; k < 32; ++k) {
    marks.tabs |= uint32_t{chars[k] == u'\t'} << k;
    if constexpr (kCountQuotes) marks.quotes |= uint32_t{chars[k] == u'"'} << k;
  }
#endif
  return marks;
}

}  // namespace

void TabbedLine::Split(std::u16string_view line, bool count_quotes) {
  line_ = line;
  size_t field = 0;
  std::fill(std::begin(quotes_), std::end(quotes_), 0);
  // Takes the marks of the 32 characters from `start` in the order they stand:
  // a tab ends the current field, a quote counts in it. False once every field
  // is found.
  auto take = [&](size_t start, Marks marks) {
    if (marks.quotes == 0) {
      for (uint32_t tabs = marks.tabs; tabs != 0; tabs &= tabs - 1) {
        end_[field] = start + static_cast<size_t>(std::countr_zero(tabs));
        if (++field == kMaxFields) return false;
      }
      return true;
    }
    for (uint32_t all = marks.tabs | marks.quotes; all != 0; all &= all - 1) {
      const uint32_t bit = all & (0u - all);
      if ((marks.quotes & bit) != 0) {
        if (quotes_[field] != UINT8_MAX) ++quotes_[field];
        continue;
      }
      end_[field] = start + static_cast<size_t>(std::countr_zero(bit));
      if (++field == kMaxFields) return false;
    }
    return true;
  };

  auto marks32 = [count_quotes](const char16_t* chars) {
    return count_quotes ? Marks32<true>(chars) : Marks32<false>(chars);
  };
  size_t i = 0;
  for (; i + 32 <= line.size(); i += 32) {
    if (!take(i, marks32(line.data() + i))) {
      count_ = kMaxFields;
      return;
    }
  }
  if (i < line.size()) {
    // The last characters, padded with NULs (neither tab nor quote).
    char16_t rest[32] = {};
    std::copy(line.begin() + static_cast<std::ptrdiff_t>(i), line.end(), rest);
    if (!take(i, marks32(rest))) {
      count_ = kMaxFields;
      return;
    }
  }
  end_[field] = line.size();
  count_ = field + 1;
}

}  // namespace norv
