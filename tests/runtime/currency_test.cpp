#include "runtime/currency.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "error_matchers.h"

namespace norv {
namespace {

TEST(CurrencyTest, RoundHalfEvenSendsTiesToEven) {
  using Tie = std::pair<double, double>;
  for (const auto& [value, rounded] :
       {Tie{0.5, 0}, Tie{1.5, 2}, Tie{2.5, 2}, Tie{-1.5, -2}, Tie{-2.5, -2}, Tie{2.4999999, 2},
        Tie{2.5000001, 3}, Tie{-7.6, -8}, Tie{4503599627370497.0, 4503599627370497.0}}) {
    EXPECT_EQ(RoundHalfEven(value), rounded) << value;
  }
}

TEST(CurrencyTest, FromDoubleRoundsToFourDecimalsWithinTheRange) {
  EXPECT_EQ(Currency::FromDouble(1.2345).raw(), 12345);
  EXPECT_EQ(Currency::FromDouble(0.00004).raw(), 0);
  EXPECT_EQ(Currency::FromDouble(0.00006).raw(), 1);
  EXPECT_EQ(Currency::FromDouble(9e14).raw(), 9000000000000000000);
  for (double outside : {9.3e14, -9.3e14, std::nan(""), double{INFINITY}}) {
    EXPECT_RAISES(Currency::FromDouble(outside), kErrOverflow);
  }
}

TEST(CurrencyTest, ArithmeticRoundsHalfToEvenAndOverflowsAtTheLimits) {
  const Currency max = Currency::FromRaw(std::numeric_limits<int64_t>::max());
  const Currency min = Currency::FromRaw(std::numeric_limits<int64_t>::min());
  const Currency tiny = Currency::FromRaw(1);
  EXPECT_EQ((max - tiny).raw(), max.raw() - 1);
  EXPECT_EQ((min + tiny).raw(), min.raw() + 1);
  EXPECT_EQ((-max).raw(), -max.raw());
  EXPECT_RAISES(max + tiny, kErrOverflow);
  EXPECT_RAISES(min - tiny, kErrOverflow);
  EXPECT_RAISES(-min, kErrOverflow);
  EXPECT_RAISES(max * 2.0, kErrOverflow);
  EXPECT_RAISES(Currency::FromInteger(922337203685478), kErrOverflow);
  EXPECT_EQ(Currency::FromInteger(-922337203685477).raw(), -9223372036854770000);
  // Products and quotients round half to even.
  EXPECT_EQ((Currency::FromRaw(5) * 0.5).raw(), 2);
  EXPECT_EQ((Currency::FromRaw(15) * 0.5).raw(), 8);
  EXPECT_EQ((Currency::FromRaw(-5) * 0.5).raw(), -2);
  EXPECT_EQ((Currency::FromRaw(7) / 2.0).raw(), 4);
  EXPECT_RAISES(Currency::FromInteger(1) / 0.0, kErrDivisionByZero);
}

TEST(CurrencyTest, CheckedIncrementStopsAt32767) {
  int16_t counter = 32766, negative = -32768;
  CheckedIncrement(counter);
  CheckedIncrement(negative);
  EXPECT_EQ(negative, -32767);
  EXPECT_RAISES(CheckedIncrement(counter), kErrOverflow);
  EXPECT_EQ(counter, 32767);
}

}  // namespace
}  // namespace norv
