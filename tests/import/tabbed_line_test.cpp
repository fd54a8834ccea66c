// TabbedLine against a plain character-by-character split: the block-wise scan
// must agree at every block boundary, past the 32nd field and on short lines.
#include "import/tabbed_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace norv {
namespace {

struct PlainField {
  std::u16string text;
  unsigned quotes = 0;
};

std::vector<PlainField> PlainSplit(const std::u16string& line) {
  std::vector<PlainField> fields(1);
  for (const char16_t c : line) {
    if (c == u'\t') {
      if (fields.size() == TabbedLine::kMaxFields) break;
      fields.emplace_back();
      continue;
    }
    fields.back().text += c;
    if (c == u'"' && fields.back().quotes < 255) ++fields.back().quotes;
  }
  return fields;
}

void ExpectSameSplit(const std::u16string& line) {
  const std::vector<PlainField> expected = PlainSplit(line);
  for (const bool count_quotes : {true, false}) {
    TabbedLine split;
    split.Split(line, count_quotes);
    for (size_t i = 0; i < TabbedLine::kMaxFields + 1; ++i) {
      const PlainField plain = i < expected.size() ? expected[i] : PlainField();
      ASSERT_EQ(std::u16string(split.Field(i)), plain.text)
          << "field " << i << " of a line of " << line.size();
      ASSERT_EQ(split.Quotes(i), count_quotes ? plain.quotes : 0) << "field " << i;
    }
  }
}

TEST(TabbedLineTest, EdgesOfTheLine) {
  ExpectSameSplit(u"");
  ExpectSameSplit(u"\t");
  ExpectSameSplit(u"\"");
  ExpectSameSplit(std::u16string(40, u'\t'));  // 41 empty fields, 32 taken
  ExpectSameSplit(std::u16string(300, u'"'));  // the count stops at 255
  ExpectSameSplit(u"a\tb\t\"c\"\"d\"\t");
}

TEST(TabbedLineTest, TabsAndQuotesAroundEveryBlockBoundary) {
  for (size_t length : {15u, 16u, 17u, 31u, 32u, 33u, 63u, 64u, 65u, 100u}) {
    for (size_t pos = 0; pos < length; ++pos) {
      std::u16string line(length, u'x');
      line[pos] = u'\t';
      ExpectSameSplit(line);
      line[pos] = u'"';
      if (pos + 1 < length) line[pos + 1] = u'\t';
      ExpectSameSplit(line);
    }
  }
}

TEST(TabbedLineTest, AgreesOnManyMixedLines) {
  uint32_t state = 12345;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  const char16_t alphabet[] = {u'\t', u'"', u'a', u'Ž', u'0', u' '};
  for (int n = 0; n < 2000; ++n) {
    std::u16string line(next() % 400, u'a');
    for (char16_t& c : line) c = alphabet[next() % 6];
    ExpectSameSplit(line);
  }
}

}  // namespace
}  // namespace norv
