#include "runtime/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace norv {
namespace {

struct LetterCase {
  char16_t character;
  unsigned char byte;
};

class Cp1257LetterTest : public testing::TestWithParam<LetterCase> {};

TEST_P(Cp1257LetterTest, MapsBothWays) {
  const LetterCase& c = GetParam();
  const std::string byte(1, static_cast<char>(c.byte));
  EXPECT_EQ(cp1257::Encode(std::u16string(1, c.character)), byte);
  EXPECT_EQ(cp1257::Decode(byte), std::u16string(1, c.character));
}

// The Lithuanian letters, both cases, and the code page's other landmarks.
INSTANTIATE_TEST_SUITE_P(
    Letters, Cp1257LetterTest,
    testing::Values(LetterCase{u'Ą', 0xC0}, LetterCase{u'ą', 0xE0}, LetterCase{u'Č', 0xC8},
                    LetterCase{u'č', 0xE8}, LetterCase{u'Ę', 0xC6}, LetterCase{u'ę', 0xE6},
                    LetterCase{u'Ė', 0xCB}, LetterCase{u'ė', 0xEB}, LetterCase{u'Į', 0xC1},
                    LetterCase{u'į', 0xE1}, LetterCase{u'Š', 0xD0}, LetterCase{u'š', 0xF0},
                    LetterCase{u'Ų', 0xD8}, LetterCase{u'ų', 0xF8}, LetterCase{u'Ū', 0xDB},
                    LetterCase{u'ū', 0xFB}, LetterCase{u'Ž', 0xDE}, LetterCase{u'ž', 0xFE},
                    LetterCase{u'€', 0x80}, LetterCase{u'„', 0x84}, LetterCase{u'“', 0x93},
                    LetterCase{u'\u00A0', 0xA0}, LetterCase{u'Ø', 0xA8}, LetterCase{u'˙', 0xFF},
                    LetterCase{u'\u0081', 0x81}, LetterCase{u'\u00A5', 0xA5}));

TEST(Cp1257Test, EveryByteSurvivesDecodeAndEncode) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  const std::u16string text = cp1257::Decode(all);
  ASSERT_EQ(text.size(), 256u);
  EXPECT_EQ(cp1257::Encode(text), all);
  // Every decoded character is distinct, so the table is one to one.
  for (size_t i = 0; i < text.size(); ++i) {
    EXPECT_EQ(text.find(text[i]), i) << "byte " << i;
  }
}

TEST(Cp1257Test, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(cp1257::Encode(u"a\u0080b"), "a?b");            // C1 control the page uses for €
  EXPECT_EQ(cp1257::Encode(u"\u4E2D\u00C0\u0451"), "???");  // CJK, À, ё
  EXPECT_EQ(cp1257::Encode(u"x\U0001F600y"), "x?y");        // one character, one "?"
  EXPECT_EQ(cp1257::Encode(u"\xD800z"), "?z");              // lone surrogate
  EXPECT_EQ(cp1257::Encode(std::u16string(1, u'\0')), std::string(1, '\0'));
}

}  // namespace
}  // namespace norv
