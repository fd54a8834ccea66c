#include <gtest/gtest.h>

#include <string>

#include "error_matchers.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv {
namespace {

struct NumberFormatCase {
  double value;
  std::u16string pattern;
  std::u16string lt;  // under lt-LT
  std::u16string us;  // under en-US
};

class FormatNumberTest : public testing::TestWithParam<NumberFormatCase> {};

TEST_P(FormatNumberTest, RoundsHalfAwayFromZero) {
  const NumberFormatCase& c = GetParam();
  EXPECT_EQ(RegionalSettings::LtLT().FormatNumber(c.value, c.pattern), c.lt);
  EXPECT_EQ(RegionalSettings::EnUS().FormatNumber(c.value, c.pattern), c.us);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatNumberTest,
    testing::Values(
        NumberFormatCase{1234.5, u"##########0.00", u"1234,50", u"1234.50"},
        NumberFormatCase{0, u"##########0.00", u"0,00", u"0.00"},
        NumberFormatCase{-0.5, u"##########0.00", u"-0,50", u"-0.50"},
        NumberFormatCase{0.125, u"##########0.00", u"0,13", u"0.13"},
        NumberFormatCase{-0.125, u"##########0.00", u"-0,13", u"-0.13"},
        NumberFormatCase{2.675, u"##########0.00", u"2,68", u"2.68"},
        NumberFormatCase{-0.004, u"##########0.00", u"0,00", u"0.00"},
        NumberFormatCase{99999999999.99, u"##########0.00", u"99999999999,99", u"99999999999.99"},
        NumberFormatCase{99999999999.995, u"##########0.00", u"100000000000,00",
                         u"100000000000.00"},
        NumberFormatCase{3.4528, u"0.0000", u"3,4528", u"3.4528"},
        NumberFormatCase{0.00005, u"0.0000", u"0,0001", u"0.0001"},
        NumberFormatCase{1e20, u"0.0000", u"100000000000000000000,0000",
                         u"100000000000000000000.0000"},
        NumberFormatCase{1234567.891, u"#,##0.0#", u"1\u00A0234\u00A0567,89", u"1,234,567.89"},
        NumberFormatCase{5, u"000", u"005", u"005"},
        NumberFormatCase{0.5, u"#.00", u",50", u".50"}));

TEST(FormatNumberTest, UnknownPatternCharactersAreInvalid) {
  EXPECT_RAISES(RegionalSettings::LtLT().FormatNumber(1, u"0.00 Lt"), kErrInvalidCall);
}

struct PresetFormatCase {
  const char* preset;
  std::u16string short_date;
  std::u16string long_time;
  std::u16string currency;
  std::u16string negative_currency;
};

class PresetFormatTest : public testing::TestWithParam<PresetFormatCase> {};

TEST_P(PresetFormatTest, DateTimeAndCurrencyForms) {
  const PresetFormatCase& c = GetParam();
  const RegionalSettings settings = RegionalSettings::Preset(Utf8ToU16(c.preset));
  const Date date = Date::FromCivil(2004, 3, 5, 13, 7, 9);
  EXPECT_EQ(settings.FormatShortDate(date), c.short_date);
  EXPECT_EQ(settings.FormatLongTime(date), c.long_time);
  EXPECT_EQ(settings.FormatCurrency(1.2), c.currency);
  EXPECT_EQ(settings.FormatCurrency(-1234567.125), c.negative_currency);
  // The short date form reads back, and the rate reader's decimal separator
  // (the text between "1" and "2" of 1.2 in the currency format) is the preset's.
  EXPECT_EQ(settings.ParseDate(settings.FormatShortDate(date)), Date::FromCivil(2004, 3, 5));
  const std::u16string money = settings.FormatCurrency(1.2);
  const size_t one = money.find(u'1');
  EXPECT_EQ(money.substr(one + 1, money.find(u'2') - one - 1),
            std::u16string(1, settings.decimal_separator));
}

INSTANTIATE_TEST_SUITE_P(
    EveryPreset, PresetFormatTest,
    testing::Values(PresetFormatCase{"lt-LT", u"2004.03.05", u"13:07:09", u"1,20 Lt",
                                     u"-1\u00A0234\u00A0567,13 Lt"},
                    PresetFormatCase{"lt-LT-2010", u"2004-03-05", u"13:07:09", u"1,20 Lt",
                                     u"-1\u00A0234\u00A0567,13 Lt"},
                    PresetFormatCase{"en-US", u"3/5/2004", u"1:07:09 PM", u"$1.20",
                                     u"-$1,234,567.13"},
                    PresetFormatCase{"invariant", u"03/05/2004", u"13:07:09", u"\u00A41.20",
                                     u"-\u00A41,234,567.13"}));

TEST(FormatLongTimeTest, MidnightAndNoonInTwelveHourForm) {
  const RegionalSettings us = RegionalSettings::EnUS();
  EXPECT_EQ(us.FormatLongTime(Date::FromCivil(2004, 3, 5, 0, 0, 0)), u"12:00:00 AM");
  EXPECT_EQ(us.FormatLongTime(Date::FromCivil(2004, 3, 5, 12, 0, 5)), u"12:00:05 PM");
}

struct DatePatternCase {
  std::u16string pattern;
  std::u16string text;
};

class FormatDatePatternTest : public testing::TestWithParam<DatePatternCase> {};

TEST_P(FormatDatePatternTest, Formats) {
  EXPECT_EQ(RegionalSettings::FormatDatePattern(Date::FromCivil(2024, 1, 31, 10, 0, 0),
                                                GetParam().pattern),
            GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Patterns, FormatDatePatternTest,
                         testing::Values(DatePatternCase{u"YYMMDD", u"240131"},
                                         DatePatternCase{u"YYYY.MM.DD", u"2024.01.31"},
                                         DatePatternCase{u"yyyy-mm-dd", u"2024-01-31"},
                                         DatePatternCase{u"DD/MM/YYY", u"31/01/24Y"},
                                         DatePatternCase{u"D.M", u"D.M"}));

}  // namespace
}  // namespace norv
