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

TEST(TabbedLineTest, AgreesWithAPlainSplit) {
  // The edges: 41 empty fields of which 32 are taken; a quote count stopping at 255.
  std::vector<std::u16string> lines = {u"",
                                       u"\t",
                                       u"\"",
                                       std::u16string(40, u'\t'),
                                       std::u16string(300, u'"'),
                                       u"a\tb\t\"c\"\"d\"\t"};
  // A tab, or a quote before a tab, around every block boundary.
  for (size_t length : {15u, 16u, 17u, 31u, 32u, 33u, 63u, 64u, 65u, 100u}) {
    for (size_t pos = 0; pos < length; ++pos) {
      std::u16string line(length, u'x');
      line[pos] = u'\t';
      lines.push_back(line);
      line[pos] = u'"';
      if (pos + 1 < length) line[pos + 1] = u'\t';
      lines.push_back(line);
    }
  }
  uint32_t state = 12345;  // xorshift: many mixed lines, the same on every run
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 17;
    return state ^= state << 5;
  };
  for (int n = 0; n < 2000; ++n) {
    std::u16string line(next() % 400, u'a');
    for (char16_t& c : line) c = u"\t\"aŽ0 "[next() % 6];
    lines.push_back(line);
  }
  for (const auto& line : lines) ExpectSameSplit(line);
}

}  // namespace
}  // namespace norv
