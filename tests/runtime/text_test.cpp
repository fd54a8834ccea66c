#include "runtime/text.h"

#include <gtest/gtest.h>

#include <utility>

#include "error_matchers.h"

namespace norv {
namespace {

// Document numbers are read like VB's Val: blanks inside ignored, no digits gives 0.
TEST(LeadingNumberTest, ReadsLikeVal) {
  using V = std::pair<std::u16string, double>;
  for (const auto& [text, value] :
       {V{u"000125", 125}, V{u"15A", 15}, V{u"", 0}, V{u"1 2 3", 123}, V{u"A15", 0},
        V{u" -4.5x", -4.5}, V{u"\t+\n7", 7}, V{u"1.2.3", 1.2}, V{u".5", 0.5}, V{u"2D2", 200},
        V{u"1e", 1}, V{u"1,5", 1}, V{u"--5", 0}, V{u"1E-400", 0}}) {
    EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << U16ToUtf8(text);
  }
  EXPECT_RAISES(LeadingNumber(u"1e400"), kErrOverflow);
}

TEST(GeneralNumberTest, FifteenSignificantDigitsThenExponent) {
  using G = std::pair<double, std::u16string>;
  for (const auto& [value, text] :
       {G{125, u"125"}, G{-0.5, u"-0,5"}, G{1.0 / 3, u"0,333333333333333"},
        G{123456789012345, u"123456789012345"}, G{1e15, u"1E+15"}, G{1.5e20, u"1,5E+20"},
        G{0.0001, u"0,0001"}, G{0.00001, u"1E-05"}, G{0.1 + 0.2, u"0,3"}}) {
    EXPECT_EQ(GeneralNumber(value, u','), text) << value;
  }
}

TEST(Utf8Test, RoundTripsAndReplacesInvalidSequences) {
  const std::string utf8 = "A\xC4\x85\xE2\x82\xAC\xF0\x9F\x98\x80";  // A ą € 😀
  EXPECT_EQ(Utf8ToU16(utf8), u"A\u0105\u20AC\U0001F600");
  EXPECT_EQ(U16ToUtf8(u"A\u0105\u20AC\U0001F600"), utf8);
  EXPECT_EQ(Utf8ToU16("a\xC0\xAF"
                      "b"),
            u"a\uFFFD\uFFFDb");                                 // overlong
  EXPECT_EQ(Utf8ToU16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(Utf8ToU16("\xE2\x82"), u"\uFFFD");                  // cut short
  EXPECT_EQ(U16ToUtf8(u"x\xD800y\xDC00"), "x\xEF\xBF\xBDy\xEF\xBF\xBD");
}

TEST(StringFunctionsTest, PositionsAreOneBased) {
  EXPECT_EQ(InStrRev(u"C:\\a\\b.txt", u"\\"), 5u);
  EXPECT_EQ(InStrRev(u"abc", u"/"), 0u);
  EXPECT_EQ(InStr(u"abcabc", u"bc", 3), 5u);
  EXPECT_EQ(InStr(u"abc", u"c", 4), 0u);
  EXPECT_EQ(Mid(u"abcdef", 2, 3), u"bcd");
  EXPECT_EQ(Mid(u"abc", 4), u"");
  EXPECT_RAISES(Mid(u"abc", 0), kErrInvalidCall);
  EXPECT_EQ(Left(u"abc", 5) + Right(u"abc", 2), u"abcbc");
  EXPECT_EQ(ReplaceAll(u"aaa", u"aa", u"b"), u"ba");
  EXPECT_EQ(TrimBlanks(u"  a b \t "), u"a b \t");
}

}  // namespace
}  // namespace norv
