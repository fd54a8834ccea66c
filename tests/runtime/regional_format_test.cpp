#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "error_matchers.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv {
namespace {

TEST(FormatNumberTest, RoundsHalfAwayFromZeroUnderBothSeparators) {
  using F = std::tuple<double, std::u16string, std::u16string, std::u16string>;  // lt-LT, en-US
  for (const auto& [value, pattern, lt, us] :
       {F{1234.5, u"##########0.00", u"1234,50", u"1234.50"},
        F{-0.5, u"##########0.00", u"-0,50", u"-0.50"},
        F{-0.125, u"##########0.00", u"-0,13", u"-0.13"},
        F{2.675, u"##########0.00", u"2,68", u"2.68"},
        F{-0.004, u"##########0.00", u"0,00", u"0.00"},
        F{99999999999.995, u"##########0.00", u"100000000000,00", u"100000000000.00"},
        F{3.4528, u"0.0000", u"3,4528", u"3.4528"}, F{0.00005, u"0.0000", u"0,0001", u"0.0001"},
        F{1e20, u"0.0000", u"100000000000000000000,0000", u"100000000000000000000.0000"},
        F{1234567.891, u"#,##0.0#", u"1\u00A0234\u00A0567,89", u"1,234,567.89"},
        F{5, u"000", u"005", u"005"}, F{0.5, u"#.00", u",50", u".50"}}) {
    SCOPED_TRACE(U16ToUtf8(us));
    EXPECT_EQ(RegionalSettings::LtLT().FormatNumber(value, pattern), lt);
    EXPECT_EQ(RegionalSettings::EnUS().FormatNumber(value, pattern), us);
  }
  EXPECT_RAISES(RegionalSettings::LtLT().FormatNumber(1, u"0.00 Lt"), kErrInvalidCall);
}

TEST(PresetFormatTest, DateTimeAndCurrencyFormsOfEveryPreset) {
  const Date date = Date::FromCivil(2004, 3, 5, 13, 7, 9);
  using P = std::tuple<const char*, std::u16string, std::u16string, std::u16string, std::u16string>;
  for (const auto& [preset, short_date, long_time, money, negative] :
       {P{"lt-LT", u"2004.03.05", u"13:07:09", u"1,20 Lt", u"-1\u00A0234\u00A0567,13 Lt"},
        P{"lt-LT-2010", u"2004-03-05", u"13:07:09", u"1,20 Lt", u"-1\u00A0234\u00A0567,13 Lt"},
        P{"en-US", u"3/5/2004", u"1:07:09 PM", u"$1.20", u"-$1,234,567.13"},
        P{"invariant", u"03/05/2004", u"13:07:09", u"\u00A41.20", u"-\u00A41,234,567.13"}}) {
    SCOPED_TRACE(preset);
    const RegionalSettings settings = RegionalSettings::Preset(Utf8ToU16(preset));
    EXPECT_EQ(settings.FormatShortDate(date), short_date);
    EXPECT_EQ(settings.FormatLongTime(date), long_time);
    EXPECT_EQ(settings.FormatCurrency(1.2), money);
    EXPECT_EQ(settings.FormatCurrency(-1234567.125), negative);
    EXPECT_EQ(settings.ParseDate(short_date), Date::FromCivil(2004, 3, 5));
    // The rate reader takes the text between "1" and "2" of 1.2 as the decimal separator.
    const size_t one = money.find(u'1');
    EXPECT_EQ(money.substr(one + 1, money.find(u'2') - one - 1),
              std::u16string(1, settings.decimal_separator));
  }
  const RegionalSettings us = RegionalSettings::EnUS();
  EXPECT_EQ(us.FormatLongTime(Date::FromCivil(2004, 3, 5, 0, 0, 0)), u"12:00:00 AM");
  EXPECT_EQ(us.FormatLongTime(Date::FromCivil(2004, 3, 5, 12, 0, 5)), u"12:00:05 PM");
}

TEST(FormatDatePatternTest, FileNameAndRecordPatterns) {
  const Date date = Date::FromCivil(2024, 1, 31, 10, 0, 0);
  using D = std::pair<std::u16string, std::u16string>;
  for (const auto& [pattern, text] :
       {D{u"YYMMDD", u"240131"}, D{u"YYYY.MM.DD", u"2024.01.31"}, D{u"yyyy-mm-dd", u"2024-01-31"},
        D{u"DD/MM/YYY", u"31/01/24Y"}, D{u"D.M", u"D.M"}}) {
    EXPECT_EQ(RegionalSettings::FormatDatePattern(date, pattern), text) << U16ToUtf8(pattern);
  }
}

}  // namespace
}  // namespace norv
