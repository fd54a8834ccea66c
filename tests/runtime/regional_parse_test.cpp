#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "error_matchers.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv {
namespace {

struct NumberCase {
  const char* preset;
  std::u16string text;
  double value;
};

std::string Name(const char* preset, const std::u16string& text) {
  return std::string(preset) + " \"" + U16ToUtf8(text) + "\"";
}

class ParseNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(ParseNumberTest, Accepts) {
  const NumberCase& c = GetParam();
  const RegionalSettings settings = RegionalSettings::Preset(Utf8ToU16(c.preset));
  EXPECT_DOUBLE_EQ(settings.ParseNumber(c.text), c.value) << Name(c.preset, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    EveryPreset, ParseNumberTest,
    testing::Values(NumberCase{"lt-LT", u"12,5", 12.5}, NumberCase{"lt-LT", u"  -0,25 ", -0.25},
                    NumberCase{"lt-LT", u"+7", 7}, NumberCase{"lt-LT", u"1\u00A0234,5", 1234.5},
                    NumberCase{"lt-LT", u"1 234 567", 1234567}, NumberCase{"lt-LT", u",5", 0.5},
                    NumberCase{"lt-LT", u"5,", 5}, NumberCase{"lt-LT", u"1,5E3", 1500},
                    NumberCase{"lt-LT", u"\t25e-2", 0.25},
                    NumberCase{"lt-LT-2010", u"3,4528", 3.4528},
                    NumberCase{"en-US", u"1,234.5", 1234.5}, NumberCase{"en-US", u"1,5", 15},
                    NumberCase{"en-US", u"-.5", -0.5}, NumberCase{"invariant", u"0.0001", 0.0001},
                    NumberCase{"invariant", u"1,000,000", 1e6}));

struct RejectCase {
  const char* preset;
  std::u16string text;
};

class ParseNumberRejectTest : public testing::TestWithParam<RejectCase> {};

TEST_P(ParseNumberRejectTest, RaisesTypeMismatch) {
  const RejectCase& c = GetParam();
  const RegionalSettings settings = RegionalSettings::Preset(Utf8ToU16(c.preset));
  SCOPED_TRACE(Name(c.preset, c.text));
  EXPECT_RAISES(settings.ParseNumber(c.text), kErrTypeMismatch);
  EXPECT_RAISES(settings.ParseCurrency(c.text), kErrTypeMismatch);
}

INSTANTIATE_TEST_SUITE_P(
    EveryPreset, ParseNumberRejectTest,
    testing::Values(RejectCase{"lt-LT", u""}, RejectCase{"lt-LT", u"   "},
                    RejectCase{"lt-LT", u"3.4528"}, RejectCase{"lt-LT", u"1  234"},
                    RejectCase{"lt-LT", u" 1 ,5"}, RejectCase{"lt-LT", u"5-"},
                    RejectCase{"lt-LT", u"1,2,3"}, RejectCase{"lt-LT", u"1E"},
                    RejectCase{"lt-LT", u"-"}, RejectCase{"lt-LT", u","},
                    RejectCase{"lt-LT", u"1,20 Lt"}, RejectCase{"lt-LT-2010", u"12a"},
                    RejectCase{"en-US", u"1 234"}, RejectCase{"en-US", u",5"},
                    RejectCase{"en-US", u"1.2.3"}, RejectCase{"en-US", u"1.234,5"},
                    RejectCase{"en-US", u"$1.20"}, RejectCase{"invariant", u"1,5,"},
                    RejectCase{"invariant", u"--1"}, RejectCase{"invariant", u"(5)"}));

struct AmountCase {
  std::u16string text;
  int64_t raw;
};

class ParseCurrencyTest : public testing::TestWithParam<AmountCase> {};

// The amount is read from the decimal text itself, so ties are exact ties.
TEST_P(ParseCurrencyTest, RoundsHalfToEvenAtFourDecimals) {
  EXPECT_EQ(RegionalSettings::LtLT().ParseCurrency(GetParam().text).raw(), GetParam().raw)
      << U16ToUtf8(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(LtLT, ParseCurrencyTest,
                         testing::Values(AmountCase{u"0,00", 0},
                                         AmountCase{u"1\u00A0234,56", 12345600},
                                         AmountCase{u"0,00005", 0}, AmountCase{u"0,00015", 2},
                                         AmountCase{u"0,000050001", 1}, AmountCase{u"-0,00025", -2},
                                         AmountCase{u"-0,00035", -4}, AmountCase{u"0,00004999", 0},
                                         AmountCase{u"1,5E-4", 2}, AmountCase{u"12E2", 12000000},
                                         AmountCase{u"922337203685477,5807", INT64_MAX},
                                         AmountCase{u"-922337203685477,5808", INT64_MIN},
                                         AmountCase{u"0000000000000000000000000001", 10000},
                                         AmountCase{u"0E99999", 0}));

TEST(ParseCurrencyTest, OutOfRangeOverflows) {
  const RegionalSettings lt = RegionalSettings::LtLT();
  EXPECT_RAISES(lt.ParseCurrency(u"922337203685477,5808"), kErrOverflow);
  EXPECT_RAISES(lt.ParseCurrency(u"922337203685477,58075"), kErrOverflow);
  EXPECT_RAISES(lt.ParseCurrency(u"1E16"), kErrOverflow);
  EXPECT_RAISES(lt.ParseNumber(u"1E400"), kErrOverflow);
  EXPECT_EQ(lt.ParseNumber(u"1E-400"), 0.0);
}

struct DateCase {
  const char* preset;
  std::u16string text;
  int year, month, day, hour, minute, second;
};

class ParseDateTest : public testing::TestWithParam<DateCase> {};

TEST_P(ParseDateTest, Accepts) {
  const DateCase& c = GetParam();
  const RegionalSettings settings = RegionalSettings::Preset(Utf8ToU16(c.preset));
  EXPECT_EQ(settings.ParseDate(c.text),
            Date::FromCivil(c.year, c.month, c.day, c.hour, c.minute, c.second))
      << Name(c.preset, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    EveryPreset, ParseDateTest,
    testing::Values(DateCase{"lt-LT", u"2006.03.31", 2006, 3, 31, 0, 0, 0},
                    DateCase{"lt-LT", u" 2006-3-1 ", 2006, 3, 1, 0, 0, 0},
                    DateCase{"lt-LT", u"2006/03/31 13:05:07", 2006, 3, 31, 13, 5, 7},
                    DateCase{"lt-LT", u"2006.03.31  7:05", 2006, 3, 31, 7, 5, 0},
                    DateCase{"lt-LT-2010", u"2006.03.31", 2006, 3, 31, 0, 0, 0},
                    DateCase{"lt-LT-2010", u"2006-03-31 23:59:59", 2006, 3, 31, 23, 59, 59},
                    DateCase{"en-US", u"3/31/2006", 2006, 3, 31, 0, 0, 0},
                    DateCase{"en-US", u"03/01/2006 1:05:07 PM", 2006, 3, 1, 13, 5, 7},
                    DateCase{"en-US", u"2006.03.31 12:00 am", 2006, 3, 31, 0, 0, 0},
                    DateCase{"en-US", u"2/29/2004", 2004, 2, 29, 0, 0, 0},
                    DateCase{"invariant", u"03/31/2006", 2006, 3, 31, 0, 0, 0},
                    DateCase{"invariant", u"2006-03-31 00:00:01", 2006, 3, 31, 0, 0, 1}));

class ParseDateRejectTest : public testing::TestWithParam<RejectCase> {};

TEST_P(ParseDateRejectTest, RaisesTypeMismatch) {
  const RejectCase& c = GetParam();
  SCOPED_TRACE(Name(c.preset, c.text));
  EXPECT_RAISES(RegionalSettings::Preset(Utf8ToU16(c.preset)).ParseDate(c.text), kErrTypeMismatch);
}

INSTANTIATE_TEST_SUITE_P(
    EveryPreset, ParseDateRejectTest,
    testing::Values(RejectCase{"lt-LT", u""}, RejectCase{"lt-LT", u"31.03.2006"},
                    RejectCase{"lt-LT", u"2006.02.29"}, RejectCase{"lt-LT", u"2006.13.01"},
                    RejectCase{"lt-LT", u"2006.03-31"}, RejectCase{"lt-LT", u"2006.03.31."},
                    RejectCase{"lt-LT", u"2006.03"}, RejectCase{"lt-LT", u"06.03.31"},
                    RejectCase{"lt-LT", u"2006.03.31 25:00"},
                    RejectCase{"lt-LT", u"2006.03.31 1:5"},
                    RejectCase{"lt-LT", u"2006.03.31T10:00"}, RejectCase{"lt-LT", u"2006.003.31"},
                    RejectCase{"lt-LT", u"0099.01.01"}, RejectCase{"lt-LT-2010", u"3/31/2006"},
                    RejectCase{"en-US", u"31/3/2006"}, RejectCase{"en-US", u"3-31-2006"},
                    RejectCase{"en-US", u"3/31/06"}, RejectCase{"en-US", u"1/1/2006 13:00 PM"},
                    RejectCase{"en-US", u"2/29/2100"}, RejectCase{"invariant", u"31/03/2006"},
                    RejectCase{"invariant", u"today"}));

TEST(RegionalSettingsTest, CurrentIsPerThreadAndStartsAsLtLT) {
  EXPECT_EQ(RegionalSettings::Current().name, u"lt-LT");
  RegionalSettings::SetCurrent(RegionalSettings::EnUS());
  EXPECT_EQ(RegionalSettings::Current().name, u"en-US");
  std::u16string other_thread;
  std::thread([&] { other_thread = RegionalSettings::Current().name; }).join();
  EXPECT_EQ(other_thread, u"lt-LT");
  RegionalSettings::SetCurrent(RegionalSettings::LtLT());
  EXPECT_RAISES(RegionalSettings::Preset(u"de-DE"), kErrInvalidCall);
}

}  // namespace
}  // namespace norv
