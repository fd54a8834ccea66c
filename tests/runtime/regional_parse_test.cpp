#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "error_matchers.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv {
namespace {

RegionalSettings Preset(const char* name) { return RegionalSettings::Preset(Utf8ToU16(name)); }

std::string Name(const char* preset, const std::u16string& text) {
  return std::string(preset) + " \"" + U16ToUtf8(text) + "\"";
}

// Texts a preset must refuse.
using Rejected = std::pair<const char*, std::vector<std::u16string>>;

TEST(ParseNumberTest, EveryPresetAcceptsItsFormsOnly) {
  using N = std::tuple<const char*, std::u16string, double>;
  for (const auto& [preset, text, value] :
       {N{"lt-LT", u"  -0,25 ", -0.25}, N{"lt-LT", u"+7", 7}, N{"lt-LT", u"1\u00A0234,5", 1234.5},
        N{"lt-LT", u"1 234 567", 1234567}, N{"lt-LT", u",5", 0.5}, N{"lt-LT", u"5,", 5},
        N{"lt-LT", u"\t25e-2", 0.25}, N{"lt-LT-2010", u"3,4528", 3.4528},
        N{"en-US", u"1,234.5", 1234.5}, N{"en-US", u"1,5", 15}, N{"en-US", u"-.5", -0.5},
        N{"invariant", u"1,000,000", 1e6}}) {
    EXPECT_DOUBLE_EQ(Preset(preset).ParseNumber(text), value) << Name(preset, text);
  }
  for (const auto& [preset, texts] :
       {Rejected{"lt-LT",
                 {u"", u"   ", u"3.4528", u"1  234", u" 1 ,5", u"5-", u"1,2,3", u"1E", u"-", u",",
                  u"1,20 Lt"}},
        Rejected{"lt-LT-2010", {u"12a"}},
        Rejected{"en-US", {u"1 234", u",5", u"1.2.3", u"1.234,5", u"$1.20"}},
        Rejected{"invariant", {u"1,5,", u"--1", u"(5)"}}}) {
    for (const std::u16string& text : texts) {
      SCOPED_TRACE(Name(preset, text));
      EXPECT_RAISES(Preset(preset).ParseNumber(text), kErrTypeMismatch);
      EXPECT_RAISES(Preset(preset).ParseCurrency(text), kErrTypeMismatch);
    }
  }
}

// The amount is read from the decimal text itself, so ties are exact ties.
TEST(ParseCurrencyTest, RoundsHalfToEvenAtFourDecimalsAndOverflowsOutsideTheRange) {
  const RegionalSettings lt = RegionalSettings::LtLT();
  using A = std::pair<std::u16string, int64_t>;
  for (const auto& [text, raw] :
       {A{u"1\u00A0234,56", 12345600}, A{u"0,00005", 0}, A{u"0,00015", 2}, A{u"0,000050001", 1},
        A{u"-0,00025", -2}, A{u"-0,00035", -4}, A{u"0,00004999", 0}, A{u"1,5E-4", 2},
        A{u"12E2", 12000000}, A{u"922337203685477,5807", INT64_MAX}, A{u"0E99999", 0},
        A{u"-922337203685477,5808", INT64_MIN}, A{u"0000000000000000000000000001", 10000}}) {
    EXPECT_EQ(lt.ParseCurrency(text).raw(), raw) << U16ToUtf8(text);
  }
  EXPECT_RAISES(lt.ParseCurrency(u"922337203685477,5808"), kErrOverflow);
  EXPECT_RAISES(lt.ParseCurrency(u"922337203685477,58075"), kErrOverflow);
  EXPECT_RAISES(lt.ParseCurrency(u"1E16"), kErrOverflow);
  EXPECT_RAISES(lt.ParseNumber(u"1E400"), kErrOverflow);
  EXPECT_EQ(lt.ParseNumber(u"1E-400"), 0.0);
}

TEST(ParseDateTest, EveryPresetAcceptsItsFormsOnly) {
  using D = std::tuple<const char*, std::u16string, Date>;
  for (const auto& [preset, text, date] :
       {D{"lt-LT", u"2006.03.31", Date::FromCivil(2006, 3, 31)},
        D{"lt-LT", u" 2006-3-1 ", Date::FromCivil(2006, 3, 1)},
        D{"lt-LT", u"2006/03/31 13:05:07", Date::FromCivil(2006, 3, 31, 13, 5, 7)},
        D{"lt-LT", u"2006.03.31  7:05", Date::FromCivil(2006, 3, 31, 7, 5, 0)},
        D{"lt-LT-2010", u"2006-03-31 23:59:59", Date::FromCivil(2006, 3, 31, 23, 59, 59)},
        D{"en-US", u"03/01/2006 1:05:07 PM", Date::FromCivil(2006, 3, 1, 13, 5, 7)},
        D{"en-US", u"2006.03.31 12:00 am", Date::FromCivil(2006, 3, 31)},
        D{"en-US", u"2/29/2004", Date::FromCivil(2004, 2, 29)},
        D{"invariant", u"03/31/2006", Date::FromCivil(2006, 3, 31)},
        D{"invariant", u"2006-03-31 00:00:01", Date::FromCivil(2006, 3, 31, 0, 0, 1)}}) {
    EXPECT_EQ(Preset(preset).ParseDate(text), date) << Name(preset, text);
  }
  for (const auto& [preset, texts] :
       {Rejected{"lt-LT",
                 {u"", u"31.03.2006", u"2006.02.29", u"2006.13.01", u"2006.03-31", u"2006.03.31.",
                  u"2006.03", u"06.03.31", u"2006.03.31 25:00", u"2006.03.31 1:5",
                  u"2006.03.31T10:00", u"2006.003.31", u"0099.01.01"}},
        Rejected{"lt-LT-2010", {u"3/31/2006"}},
        Rejected{"en-US",
                 {u"31/3/2006", u"3-31-2006", u"3/31/06", u"1/1/2006 13:00 PM", u"2/29/2100"}},
        Rejected{"invariant", {u"31/03/2006", u"today"}}}) {
    for (const std::u16string& text : texts) {
      SCOPED_TRACE(Name(preset, text));
      EXPECT_RAISES(Preset(preset).ParseDate(text), kErrTypeMismatch);
    }
  }
}

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
