#include "runtime/variant.h"

#include <gtest/gtest.h>

#include <string>

#include "error_matchers.h"
#include "runtime/regional.h"

namespace norv {
namespace {

// Runs a test under a preset and restores the thread's settings afterwards.
class ScopedRegional {
 public:
  explicit ScopedRegional(const RegionalSettings& settings) : saved_(RegionalSettings::Current()) {
    RegionalSettings::SetCurrent(settings);
  }
  ~ScopedRegional() { RegionalSettings::SetCurrent(saved_); }

 private:
  RegionalSettings saved_;
};

struct TextCase {
  Variant value;
  std::u16string lt;
  std::u16string us;
};

class VariantToTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(VariantToTextTest, FollowsTheCurrentSettings) {
  {
    ScopedRegional lt(RegionalSettings::LtLT());
    EXPECT_EQ(VariantToText(GetParam().value), GetParam().lt);
  }
  ScopedRegional us(RegionalSettings::EnUS());
  EXPECT_EQ(VariantToText(GetParam().value), GetParam().us);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, VariantToTextTest,
    testing::Values(TextCase{Variant{}, u"", u""},
                    TextCase{Variant{u"DP \"x\""}, u"DP \"x\"", u"DP \"x\""},
                    TextCase{Variant{int32_t{-7}}, u"-7", u"-7"},
                    TextCase{Variant{1234.5}, u"1234,5", u"1234.5"},
                    TextCase{Variant{Currency::FromDouble(-1234.5)}, u"-1234,5", u"-1234.5"},
                    TextCase{Variant{Currency::FromRaw(INT64_MIN)}, u"-922337203685477,5808",
                             u"-922337203685477.5808"},
                    TextCase{Variant{Currency::FromRaw(10001)}, u"1,0001", u"1.0001"},
                    TextCase{Variant{Date::FromCivil(2004, 3, 15)}, u"2004.03.15", u"3/15/2004"},
                    TextCase{Variant{Date::FromCivil(2004, 3, 15, 9, 5, 0)}, u"2004.03.15 09:05:00",
                             u"3/15/2004 9:05:00 AM"},
                    TextCase{Variant{Date(0.5)}, u"12:00:00", u"12:00:00 PM"},
                    TextCase{Variant{true}, u"True", u"True"},
                    TextCase{Variant{false}, u"False", u"False"}));

TEST(VariantConversionTest, TextIsParsedUnderTheCurrentSettings) {
  ScopedRegional lt(RegionalSettings::LtLT());
  EXPECT_EQ(VariantToCurrency(Variant{u"12,345"}).raw(), 123450);
  EXPECT_EQ(VariantToInt32(Variant{u"2,5"}), 2);
  EXPECT_EQ(VariantToInt32(Variant{u"3,5"}), 4);
  EXPECT_DOUBLE_EQ(VariantToDouble(Variant{u"-0,75"}), -0.75);
  EXPECT_EQ(VariantToDate(Variant{u"2006.03.31"}), Date::FromCivil(2006, 3, 31));
  EXPECT_RAISES(VariantToCurrency(Variant{u"12.345"}), kErrTypeMismatch);
  EXPECT_RAISES(VariantToDate(Variant{u"31.03.2006"}), kErrTypeMismatch);
}

TEST(VariantConversionTest, NumbersOutOfRangeOverflow) {
  EXPECT_EQ(VariantToInt32(Variant{Currency::FromDouble(-2.5)}), -2);
  EXPECT_EQ(VariantToInt32(Variant{Currency::FromDouble(-3.5)}), -4);
  EXPECT_EQ(VariantToInt32(Variant{true}), -1);
  EXPECT_RAISES(VariantToInt32(Variant{2147483647.5}), kErrOverflow);
  EXPECT_RAISES(VariantToInt32(Variant{Currency::FromInteger(3000000000)}), kErrOverflow);
  EXPECT_RAISES(VariantToDate(Variant{3e6}), kErrOverflow);
  EXPECT_EQ(VariantToCurrency(Variant{int32_t{-3}}).raw(), -30000);
  EXPECT_EQ(VariantToDate(Variant{}), Date());
}

TEST(ComErrorTest, RuntimeErrorsCarryTheirUsualDescriptionAndSource) {
  try {
    RaiseRuntime(kErrFileNotFound, u"C:\\x.txt");
    FAIL() << "nothing raised";
  } catch (const ComError& error) {
    EXPECT_EQ(error.number(), 53);
    EXPECT_EQ(error.source(), kDefaultErrorSource);
    EXPECT_EQ(error.description(), u"File not found: C:\\x.txt");
    EXPECT_STREQ(error.what(), "53: Norv_RazizeRuveRO_DOS: File not found: C:\\x.txt");
  }
  ComError error(kObjectErrorBase + 112, u"CBankCl_VB", u"Laukas „Suma“ per ilgas");
  error.set_source(u"SelectFilesDlg::btOk_Click");
  EXPECT_STREQ(error.what(),
               "-2147221392: SelectFilesDlg::btOk_Click: Laukas \xE2\x80\x9ESuma\xE2\x80\x9C per "
               "ilgas");
  EXPECT_EQ(RuntimeErrorDescription(91), u"Object variable or With block variable not set");
  EXPECT_EQ(RuntimeErrorDescription(75), u"Path/File access error");
  EXPECT_EQ(RuntimeErrorDescription(1100), u"");
}

}  // namespace
}  // namespace norv
