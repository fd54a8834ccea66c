// What the case tables of conversion_test do not hold: currency arithmetic at
// its limits, every day of two centuries, UTF-8, one-based string positions and
// the error object's text.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

#include "error_matchers.h"
#include "runtime/currency.h"
#include "runtime/date.h"
#include "runtime/text.h"

namespace norv {
namespace {

TEST(CurrencyTest, ArithmeticRoundsHalfToEvenAndOverflowsAtTheLimits) {
  const Currency max = Currency::FromRaw(std::numeric_limits<int64_t>::max());
  const Currency min = Currency::FromRaw(std::numeric_limits<int64_t>::min());
  const Currency tiny = Currency::FromRaw(1);
  EXPECT_EQ((max - tiny).raw(), max.raw() - 1);
  EXPECT_EQ((min + tiny).raw(), min.raw() + 1);
  EXPECT_RAISES(max + tiny, kErrOverflow);
  EXPECT_RAISES(min - tiny, kErrOverflow);
  EXPECT_RAISES(-min, kErrOverflow);
  EXPECT_RAISES(max * 2.0, kErrOverflow);
  EXPECT_RAISES(Currency::FromInteger(922337203685478), kErrOverflow);
  EXPECT_EQ(Currency::FromInteger(-922337203685477).raw(), -9223372036854770000);
  for (const auto& [raw, factor, product] : {std::tuple{5, 0.5, 2}, {15, 0.5, 8}, {-5, 0.5, -2}}) {
    EXPECT_EQ((Currency::FromRaw(raw) * factor).raw(), product) << raw;
  }
  EXPECT_EQ((Currency::FromRaw(7) / 2.0).raw(), 4);
  EXPECT_RAISES(Currency::FromInteger(1) / 0.0, kErrDivisionByZero);
  int16_t counter = 32766, negative = -32768;
  CheckedIncrement(counter);
  CheckedIncrement(negative);
  EXPECT_EQ(negative, -32767);
  EXPECT_RAISES(CheckedIncrement(counter), kErrOverflow);
  EXPECT_EQ(counter, 32767);
}

TEST(DateTest, EveryDayFrom1900To2100RoundTrips) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  double expected = 2.0;  // 1 January 1900
  for (int year = 1900; year <= 2100; ++year) {
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= kDays[month - 1] + (month == 2 && leap); ++day, expected += 1.0) {
        const Date date = Date::FromCivil(year, month, day, day % 24, month * 4, day * 7 % 60);
        ASSERT_EQ(std::floor(date.serial()), expected);
        const CivilDateTime c = date.ToCivil();
        ASSERT_EQ((std::vector<int>{c.year, c.month, c.day, c.hour, c.minute, c.second}),
                  (std::vector<int>{year, month, day, day % 24, month * 4, day * 7 % 60}));
      }
    }
  }
  const Date today = Date::Today(), now = Date::Now();
  EXPECT_EQ(today.serial(), std::floor(today.serial()));
  EXPECT_TRUE(now >= today && now.serial() < today.serial() + 1.0 + 1.0 / 86400);
}

TEST(TextTest, Utf8AndOneBasedPositions) {
  const std::string utf8 = "A\xC4\x85\xE2\x82\xAC\xF0\x9F\x98\x80";  // A ą € 😀
  EXPECT_EQ(Utf8ToU16(utf8), u"A\u0105\u20AC\U0001F600");
  EXPECT_EQ(U16ToUtf8(u"A\u0105\u20AC\U0001F600"), utf8);
  EXPECT_EQ(Utf8ToU16("a\xC0\xAF\xED\xA0\x80\xE2\x82"), u"a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(U16ToUtf8(u"x\xD800y\xDC00"), "x\xEF\xBF\xBDy\xEF\xBF\xBD");
  EXPECT_EQ(std::make_pair(InStrRev(u"C:\\a\\b.txt", u"\\"), InStrRev(u"abc", u"/")),
            std::make_pair(size_t{5}, size_t{0}));
  EXPECT_EQ(std::make_pair(InStr(u"abcabc", u"bc", 3), InStr(u"abc", u"c", 4)),
            std::make_pair(size_t{5}, size_t{0}));
  EXPECT_EQ(Mid(u"abcdef", 2, 3) + Mid(u"abc", 4), u"bcd");
  EXPECT_RAISES(Mid(u"abc", 0), kErrInvalidCall);
  EXPECT_EQ(Left(u"abc", 5) + Right(u"abc", 2), u"abcbc");
  EXPECT_EQ(ReplaceAll(u"aaa", u"aa", u"b") + TrimBlanks(u"  a b \t "), u"baa b \t");
}

TEST(ComErrorTest, RuntimeErrorsCarryTheirUsualDescriptionAndSource) {
  try {
    RaiseRuntime(kErrFileNotFound, u"C:\\x.txt");
    FAIL() << "nothing raised";
  } catch (const ComError& error) {
    EXPECT_EQ(error.source(), kDefaultErrorSource);
    EXPECT_STREQ(error.what(), "53: Norv_RazizeRuveRO_DOS: File not found: C:\\x.txt");
  }
  ComError error(kObjectErrorBase + 112, u"CBankCl_VB", u"Laukas „Suma“");
  error.set_source(u"SelectFilesDlg::btOk_Click");
  EXPECT_STREQ(error.what(),
               "-2147221392: SelectFilesDlg::btOk_Click: Laukas \xE2\x80\x9ESuma\xE2\x80\x9C");
  EXPECT_EQ(RuntimeErrorDescription(91), u"Object variable or With block variable not set");
  EXPECT_EQ(RuntimeErrorDescription(1100), u"");
}

}  // namespace
}  // namespace norv
