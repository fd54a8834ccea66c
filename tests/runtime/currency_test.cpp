#include "runtime/currency.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "error_matchers.h"

namespace norv {
namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

struct HalfCase {
  double value;
  double rounded;
};

class RoundHalfEvenTest : public testing::TestWithParam<HalfCase> {};

TEST_P(RoundHalfEvenTest, RoundsTiesToEven) {
  EXPECT_EQ(RoundHalfEven(GetParam().value), GetParam().rounded);
}

INSTANTIATE_TEST_SUITE_P(Ties, RoundHalfEvenTest,
                         testing::Values(HalfCase{0.5, 0}, HalfCase{1.5, 2}, HalfCase{2.5, 2},
                                         HalfCase{-0.5, 0}, HalfCase{-1.5, -2}, HalfCase{-2.5, -2},
                                         HalfCase{2.4999999, 2}, HalfCase{2.5000001, 3},
                                         HalfCase{-7.6, -8},
                                         HalfCase{4503599627370497.0, 4503599627370497.0}));

TEST(CurrencyTest, FromDoubleScalesAndRoundsToFourDecimals) {
  EXPECT_EQ(Currency::FromDouble(1.2345).raw(), 12345);
  EXPECT_EQ(Currency::FromDouble(-1.5).raw(), -15000);
  EXPECT_EQ(Currency::FromDouble(0.00004).raw(), 0);
  EXPECT_EQ(Currency::FromDouble(0.00006).raw(), 1);
  EXPECT_EQ(Currency::FromDouble(9e14).raw(), 9000000000000000000);
}

TEST(CurrencyTest, FromDoubleOutsideTheRangeOverflows) {
  EXPECT_RAISES(Currency::FromDouble(9.3e14), kErrOverflow);
  EXPECT_RAISES(Currency::FromDouble(-9.3e14), kErrOverflow);
  EXPECT_RAISES(Currency::FromDouble(std::nan("")), kErrOverflow);
  EXPECT_RAISES(Currency::FromDouble(INFINITY), kErrOverflow);
}

TEST(CurrencyTest, ArithmeticAtTheLimitsOverflows) {
  const Currency max = Currency::FromRaw(kMax);
  const Currency min = Currency::FromRaw(kMin);
  const Currency tiny = Currency::FromRaw(1);
  EXPECT_EQ((max - tiny).raw(), kMax - 1);
  EXPECT_EQ((min + tiny).raw(), kMin + 1);
  EXPECT_EQ((-max).raw(), -kMax);
  EXPECT_RAISES(max + tiny, kErrOverflow);
  EXPECT_RAISES(min - tiny, kErrOverflow);
  EXPECT_RAISES(-min, kErrOverflow);
  EXPECT_RAISES(Currency::FromInteger(922337203685478), kErrOverflow);
  EXPECT_EQ(Currency::FromInteger(-922337203685477).raw(), -9223372036854770000);
  EXPECT_RAISES(max * 2.0, kErrOverflow);
}

TEST(CurrencyTest, MultiplyAndDivideRoundHalfToEven) {
  EXPECT_EQ((Currency::FromRaw(5) * 0.5).raw(), 2);
  EXPECT_EQ((Currency::FromRaw(15) * 0.5).raw(), 8);
  EXPECT_EQ((Currency::FromRaw(-5) * 0.5).raw(), -2);
  EXPECT_EQ((Currency::FromRaw(7) / 2.0).raw(), 4);
  EXPECT_EQ((Currency::FromInteger(10) / 4.0).raw(), 25000);
  EXPECT_RAISES(Currency::FromInteger(1) / 0.0, kErrDivisionByZero);
}

TEST(CurrencyTest, CheckedIncrementStopsAt32767) {
  int16_t counter = 32766;
  CheckedIncrement(counter);
  EXPECT_EQ(counter, 32767);
  EXPECT_RAISES(CheckedIncrement(counter), kErrOverflow);
  EXPECT_EQ(counter, 32767);
  int16_t negative = -32768;
  CheckedIncrement(negative);
  EXPECT_EQ(negative, -32767);
}

}  // namespace
}  // namespace norv
