#include "runtime/variant.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "error_matchers.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv {
namespace {

TEST(VariantToTextTest, FollowsTheCurrentSettings) {
  using T = std::tuple<Variant, std::u16string, std::u16string>;  // lt-LT, en-US
  for (const auto& [value, lt, us] :
       {T{Variant{}, u"", u""}, T{Variant{u"DP \"x\""}, u"DP \"x\"", u"DP \"x\""},
        T{Variant{int32_t{-7}}, u"-7", u"-7"}, T{Variant{1234.5}, u"1234,5", u"1234.5"},
        T{Variant{Currency::FromRaw(INT64_MIN)}, u"-922337203685477,5808",
          u"-922337203685477.5808"},
        T{Variant{Currency::FromRaw(10001)}, u"1,0001", u"1.0001"},
        T{Variant{Date::FromCivil(2004, 3, 15)}, u"2004.03.15", u"3/15/2004"},
        T{Variant{Date::FromCivil(2004, 3, 15, 9, 5, 0)}, u"2004.03.15 09:05:00",
          u"3/15/2004 9:05:00 AM"},
        T{Variant{Date(0.5)}, u"12:00:00", u"12:00:00 PM"}, T{Variant{true}, u"True", u"True"},
        T{Variant{false}, u"False", u"False"}}) {
    SCOPED_TRACE(U16ToUtf8(us));
    RegionalSettings::SetCurrent(RegionalSettings::LtLT());
    EXPECT_EQ(VariantToText(value), lt);
    RegionalSettings::SetCurrent(RegionalSettings::EnUS());
    EXPECT_EQ(VariantToText(value), us);
  }
  RegionalSettings::SetCurrent(RegionalSettings::LtLT());
}

TEST(VariantConversionTest, TextIsParsedUnderTheCurrentSettingsAndRangesAreChecked) {
  ASSERT_EQ(RegionalSettings::Current().name, u"lt-LT");
  EXPECT_EQ(VariantToCurrency(Variant{u"12,345"}).raw(), 123450);
  EXPECT_EQ(VariantToInt32(Variant{u"2,5"}), 2);
  EXPECT_EQ(VariantToInt32(Variant{u"3,5"}), 4);
  EXPECT_EQ(VariantToDate(Variant{u"2006.03.31"}), Date::FromCivil(2006, 3, 31));
  EXPECT_RAISES(VariantToCurrency(Variant{u"12.345"}), kErrTypeMismatch);
  EXPECT_RAISES(VariantToDate(Variant{u"31.03.2006"}), kErrTypeMismatch);
  EXPECT_EQ(VariantToInt32(Variant{Currency::FromDouble(-2.5)}), -2);
  EXPECT_EQ(VariantToInt32(Variant{true}), -1);
  EXPECT_RAISES(VariantToInt32(Variant{2147483647.5}), kErrOverflow);
  EXPECT_RAISES(VariantToInt32(Variant{Currency::FromInteger(3000000000)}), kErrOverflow);
  EXPECT_RAISES(VariantToDate(Variant{3e6}), kErrOverflow);
  EXPECT_EQ(VariantToDate(Variant{}), Date());
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
