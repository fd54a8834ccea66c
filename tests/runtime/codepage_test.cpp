#include "runtime/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace norv {
namespace {

// The Lithuanian letters, both cases, and the code page's other landmarks.
TEST(Cp1257Test, LettersAndLandmarksMapBothWays) {
  const std::u16string text = u"ĄąČčĘęĖėĮįŠšŲųŪūŽž€„“\u00A0Ø˙\u0081\u00A5";
  const std::string bytes =
      "\xC0\xE0\xC8\xE8\xC6\xE6\xCB\xEB\xC1\xE1\xD0\xF0\xD8\xF8\xDB\xFB\xDE\xFE\x80\x84\x93\xA0\xA8"
      "\xFF\x81\xA5";
  EXPECT_EQ(cp1257::Encode(text), bytes);
  EXPECT_EQ(cp1257::Decode(bytes), text);
}

TEST(Cp1257Test, EveryByteSurvivesDecodeAndEncode) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  const std::u16string text = cp1257::Decode(all);
  ASSERT_EQ(text.size(), 256u);
  EXPECT_EQ(cp1257::Encode(text), all);
  // Every decoded character is distinct, so the table is one to one.
  for (size_t i = 0; i < text.size(); ++i) EXPECT_EQ(text.find(text[i]), i) << "byte " << i;
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
