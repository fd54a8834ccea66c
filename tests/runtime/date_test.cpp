#include "runtime/date.h"

#include <gtest/gtest.h>

#include "error_matchers.h"

namespace norv {
namespace {

struct SerialCase {
  int year, month, day, hour, minute, second;
  double serial;
};

class DateSerialTest : public testing::TestWithParam<SerialCase> {};

TEST_P(DateSerialTest, CivilAndSerialAgree) {
  const SerialCase& c = GetParam();
  const Date date = Date::FromCivil(c.year, c.month, c.day, c.hour, c.minute, c.second);
  EXPECT_DOUBLE_EQ(date.serial(), c.serial);
  const CivilDateTime civil = date.ToCivil();
  EXPECT_EQ(civil.year, c.year);
  EXPECT_EQ(civil.month, c.month);
  EXPECT_EQ(civil.day, c.day);
  EXPECT_EQ(civil.hour, c.hour);
  EXPECT_EQ(civil.minute, c.minute);
  EXPECT_EQ(civil.second, c.second);
}

INSTANTIATE_TEST_SUITE_P(
    KnownDays, DateSerialTest,
    testing::Values(SerialCase{1899, 12, 30, 0, 0, 0, 0.0}, SerialCase{1900, 1, 1, 0, 0, 0, 2.0},
                    SerialCase{1900, 3, 1, 0, 0, 0, 61.0},
                    SerialCase{2000, 1, 1, 12, 0, 0, 36526.5},
                    SerialCase{2004, 3, 15, 6, 0, 0, 38061.25},
                    SerialCase{1899, 12, 29, 6, 0, 0, -1.25},  // time counts forward
                    SerialCase{100, 1, 1, 0, 0, 0, -657434.0},
                    SerialCase{9999, 12, 31, 0, 0, 0, 2958465.0}));

TEST(DateTest, EveryDayFrom1900To2100RoundTrips) {
  double expected = 2.0;  // 1 January 1900
  for (int year = 1900; year <= 2100; ++year) {
    for (int month = 1; month <= 12; ++month) {
      static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
      const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
      const int days = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
      for (int day = 1; day <= days; ++day, expected += 1.0) {
        const int second = (day * 7) % 60;
        const Date date = Date::FromCivil(year, month, day, day % 24, month * 4, second);
        ASSERT_EQ(static_cast<double>(static_cast<long long>(date.serial())), expected);
        const CivilDateTime civil = date.ToCivil();
        ASSERT_EQ(civil.year, year);
        ASSERT_EQ(civil.month, month);
        ASSERT_EQ(civil.day, day);
        ASSERT_EQ(civil.hour, day % 24);
        ASSERT_EQ(civil.minute, month * 4);
        ASSERT_EQ(civil.second, second);
      }
    }
  }
  EXPECT_EQ(expected, Date::FromCivil(2101, 1, 1).serial());
}

TEST(DateTest, TimeRoundsToTheNearestSecondAcrossMidnight) {
  const CivilDateTime civil = Date(2.0 - 0.1 / 86400).ToCivil();
  EXPECT_EQ(civil.day, 1);
  EXPECT_EQ(civil.month, 1);
  EXPECT_EQ(civil.year, 1900);
  EXPECT_EQ(civil.hour, 0);
  EXPECT_EQ(civil.second, 0);
}

TEST(DateTest, ImpossibleDaysAreInvalidArguments) {
  EXPECT_RAISES(Date::FromCivil(2100, 2, 29), kErrInvalidCall);
  EXPECT_RAISES(Date::FromCivil(2023, 4, 31), kErrInvalidCall);
  EXPECT_RAISES(Date::FromCivil(2023, 13, 1), kErrInvalidCall);
  EXPECT_RAISES(Date::FromCivil(99, 12, 31), kErrInvalidCall);
  EXPECT_RAISES(Date::FromCivil(10000, 1, 1), kErrInvalidCall);
  EXPECT_RAISES(Date::FromCivil(2023, 1, 1, 24, 0, 0), kErrInvalidCall);
  EXPECT_EQ(Date::FromCivil(2000, 2, 29).ToCivil().day, 29);
}

TEST(DateTest, TodayHasNoTimeAndNowIsTheSameDay) {
  const Date today = Date::Today();
  const Date now = Date::Now();
  EXPECT_EQ(today.serial(), static_cast<double>(static_cast<long long>(today.serial())));
  EXPECT_GE(now, today);
  EXPECT_LT(now.serial(), today.serial() + 1.0 + 1.0 / 86400);
}

}  // namespace
}  // namespace norv
