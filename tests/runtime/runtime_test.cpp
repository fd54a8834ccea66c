// What the case tables of conversion_test cannot list: every day of two
// centuries and every byte of the code page.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "runtime/codepage.h"
#include "runtime/date.h"

namespace norv {
namespace {

TEST(DateTest, EveryDayFrom1900To2100RoundTrips) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  double expected = 2.0;  // 1 January 1900
  for (int year = 1900; year <= 2100; ++year) {
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= kDays[month - 1] + (month == 2 && leap); ++day, expected += 1.0) {
        const Date date = Date::FromCivil(year, month, day, day % 24, month * 4, day * 7 % 60);
        ASSERT_EQ(std::floor(date.serial()), expected);
        const CivilDateTime c = date.ToCivil();
        ASSERT_EQ((std::vector<int>{c.year, c.month, c.day, c.hour, c.minute, c.second}),
                  (std::vector<int>{year, month, day, day % 24, month * 4, day * 7 % 60}));
      }
    }
  }
  const Date today = Date::Today(), now = Date::Now();
  EXPECT_EQ(today.serial(), std::floor(today.serial()));
  EXPECT_TRUE(now >= today && now.serial() < today.serial() + 1.0 + 1.0 / 86400);
}

// Every byte decodes to a character of its own and encodes back.
TEST(Cp1257Test, EveryByteSurvivesDecodeAndEncode) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  const std::u16string text = cp1257::Decode(all);
  ASSERT_EQ(text.size(), 256u);
  EXPECT_EQ(cp1257::Encode(text), all);
  for (size_t i = 0; i < text.size(); ++i) EXPECT_EQ(text.find(text[i]), i) << "byte " << i;
}

}  // namespace
}  // namespace norv
