#include "runtime/date.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "error_matchers.h"

namespace norv {
namespace {

std::vector<int> Fields(const Date& date) {
  const CivilDateTime c = date.ToCivil();
  return {c.year, c.month, c.day, c.hour, c.minute, c.second};
}

TEST(DateTest, KnownDaysConvertBothWays) {
  using K = std::pair<std::vector<int>, double>;
  for (const auto& [f, serial] :
       {K{{1899, 12, 30, 0, 0, 0}, 0.0}, K{{1900, 3, 1, 0, 0, 0}, 61.0},
        K{{2000, 1, 1, 12, 0, 0}, 36526.5},
        K{{1899, 12, 29, 6, 0, 0}, -1.25},  // time counts forward
        K{{100, 1, 1, 0, 0, 0}, -657434.0}, K{{9999, 12, 31, 0, 0, 0}, 2958465.0}}) {
    const Date date = Date::FromCivil(f[0], f[1], f[2], f[3], f[4], f[5]);
    EXPECT_DOUBLE_EQ(date.serial(), serial);
    EXPECT_EQ(Fields(date), f);
  }
  // A tenth of a second before midnight rounds into the next day.
  EXPECT_EQ(Fields(Date(2.0 - 0.1 / 86400)), (std::vector<int>{1900, 1, 1, 0, 0, 0}));
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
        ASSERT_EQ(Fields(date),
                  (std::vector<int>{year, month, day, day % 24, month * 4, day * 7 % 60}));
      }
    }
  }
  EXPECT_EQ(expected, Date::FromCivil(2101, 1, 1).serial());
}

TEST(DateTest, ImpossibleDaysAreInvalidArguments) {
  using F = std::vector<int>;
  for (const F& f : {F{2100, 2, 29, 0, 0, 0}, F{2023, 4, 31, 0, 0, 0}, F{2023, 13, 1, 0, 0, 0},
                     F{99, 12, 31, 0, 0, 0}, F{10000, 1, 1, 0, 0, 0}, F{2023, 1, 1, 24, 0, 0}}) {
    EXPECT_RAISES(Date::FromCivil(f[0], f[1], f[2], f[3], f[4], f[5]), kErrInvalidCall);
  }
}

TEST(DateTest, TodayHasNoTimeAndNowIsTheSameDay) {
  const Date today = Date::Today(), now = Date::Now();
  EXPECT_EQ(today.serial(), std::floor(today.serial()));
  EXPECT_TRUE(now >= today && now.serial() < today.serial() + 1.0 + 1.0 / 86400);
}

}  // namespace
}  // namespace norv
