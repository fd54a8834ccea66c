#include "runtime/text.h"

#include <gtest/gtest.h>

#include "error_matchers.h"

namespace norv {
namespace {

struct ValCase {
  std::u16string text;
  double value;
};

class LeadingNumberTest : public testing::TestWithParam<ValCase> {};

TEST_P(LeadingNumberTest, ReadsLikeVal) {
  EXPECT_DOUBLE_EQ(LeadingNumber(GetParam().text), GetParam().value) << U16ToUtf8(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumberTest,
    testing::Values(ValCase{u"000125", 125}, ValCase{u"15A", 15}, ValCase{u"", 0},
                    ValCase{u"1 2 3", 123}, ValCase{u"A15", 0}, ValCase{u" -4.5x", -4.5},
                    ValCase{u"\t+\n7", 7}, ValCase{u"1.2.3", 1.2}, ValCase{u".5", 0.5},
                    ValCase{u"1e3", 1000}, ValCase{u"2D2", 200}, ValCase{u"1e", 1},
                    ValCase{u"1,5", 1}, ValCase{u"--5", 0}, ValCase{u"1E-400", 0}));

TEST(LeadingNumberTest, HugeExponentOverflows) {
  EXPECT_RAISES(LeadingNumber(u"1e400"), kErrOverflow);
}

struct GeneralCase {
  double value;
  std::u16string text;
};

class GeneralNumberTest : public testing::TestWithParam<GeneralCase> {};

TEST_P(GeneralNumberTest, Formats) {
  EXPECT_EQ(GeneralNumber(GetParam().value, u','), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, GeneralNumberTest,
    testing::Values(GeneralCase{0, u"0"}, GeneralCase{125, u"125"}, GeneralCase{-0.5, u"-0,5"},
                    GeneralCase{1.0 / 3, u"0,333333333333333"},
                    GeneralCase{123456789012345, u"123456789012345"}, GeneralCase{1e15, u"1E+15"},
                    GeneralCase{1.5e20, u"1,5E+20"}, GeneralCase{0.0001, u"0,0001"},
                    GeneralCase{0.00001, u"1E-05"}, GeneralCase{0.1 + 0.2, u"0,3"},
                    GeneralCase{2500, u"2500"}));

TEST(Utf8Test, RoundTripsOutsideTheBasicPlane) {
  const std::string utf8 = "A\xC4\x85\xE2\x82\xAC\xF0\x9F\x98\x80";  // A ą € 😀
  const std::u16string text = Utf8ToU16(utf8);
  EXPECT_EQ(text, u"A\u0105\u20AC\U0001F600");
  EXPECT_EQ(text.size(), 5u);
  EXPECT_EQ(U16ToUtf8(text), utf8);
}

TEST(Utf8Test, InvalidSequencesBecomeReplacementCharacters) {
  EXPECT_EQ(Utf8ToU16("a\xC0\xAF"
                      "b"),
            u"a\uFFFD\uFFFDb");                                 // overlong
  EXPECT_EQ(Utf8ToU16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(Utf8ToU16("\xE2\x82"), u"\uFFFD");                  // cut short
  EXPECT_EQ(Utf8ToU16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(U16ToUtf8(u"x\xD800y\xDC00"), "x\xEF\xBF\xBDy\xEF\xBF\xBD");
}

TEST(StringFunctionsTest, PositionsAreOneBased) {
  EXPECT_EQ(InStrRev(u"C:\\a\\b.txt", u"\\"), 5u);
  EXPECT_EQ(InStrRev(u"abc", u"/"), 0u);
  EXPECT_EQ(InStr(u"abcabc", u"bc"), 2u);
  EXPECT_EQ(InStr(u"abcabc", u"bc", 3), 5u);
  EXPECT_EQ(InStr(u"abc", u"c", 4), 0u);
  EXPECT_EQ(Mid(u"abcdef", 2, 3), u"bcd");
  EXPECT_EQ(Mid(u"abc", 4), u"");
  EXPECT_EQ(Left(u"abc", 5), u"abc");
  EXPECT_EQ(Right(u"abc", 2), u"bc");
  EXPECT_RAISES(Mid(u"abc", 0), kErrInvalidCall);
  EXPECT_EQ(ReplaceAll(u"aaa", u"aa", u"b"), u"ba");
  EXPECT_EQ(ReplaceAll(u"a,b,", u",", u""), u"ab");
  EXPECT_EQ(TrimBlanks(u"  a b \t "), u"a b \t");
  EXPECT_EQ(IntToText(-32768), u"-32768");
}

}  // namespace
}  // namespace norv
