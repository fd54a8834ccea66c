#include "runtime/date.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "runtime/com_error.h"

namespace norv {
namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

constexpr sys_days kEpoch = sys_days(std::chrono::year{1899} / 12 / 30);
constexpr double kSecondsPerDay = 86400.0;

// 1 January 100 and 31 December 9999, the calendar's first and last days.
constexpr double kFirstSerial = -657434.0;
constexpr double kLastSerial = 2958465.0;

}  // namespace

Date Date::FromCivil(int year, int month, int day, int hour, int minute, int second) {
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 ||
      hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
    RaiseRuntime(kErrInvalidCall);
  }
  const year_month_day civil{std::chrono::year{year},
                             std::chrono::month{static_cast<unsigned>(month)},
                             std::chrono::day{static_cast<unsigned>(day)}};
  if (!civil.ok()) RaiseRuntime(kErrInvalidCall);
  const double day_number = static_cast<double>((sys_days(civil) - kEpoch).count());
  const double time = (hour * 3600.0 + minute * 60.0 + second) / kSecondsPerDay;
  // Before the epoch the whole part counts days backwards but the fraction
  // still counts the time forwards from midnight: -1.25 is 29 Dec 1899 06:00.
  return Date(day_number < 0 ? day_number - time : day_number + time);
}

Date Date::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return FromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                   local.tm_min, local.tm_sec);
}

Date Date::Today() {
  const CivilDateTime now = Now().ToCivil();
  return FromCivil(now.year, now.month, now.day);
}

CivilDateTime Date::ToCivil() const {
  // Before 1899-12-30 the day counts down while the time still counts up, so a
  // time on the first day of year 100 lies below that day's serial: test the day.
  const double whole = std::trunc(serial_);
  if (!(whole >= kFirstSerial && whole <= kLastSerial)) RaiseRuntime(kErrInvalidCall);
  long long day_number = static_cast<long long>(whole);
  long long seconds = std::llround(std::fabs(serial_ - whole) * kSecondsPerDay);
  if (seconds >= 86400) {
    // The time rounded up to midnight: the next calendar day.
    seconds -= 86400;
    ++day_number;
  }
  const year_month_day civil{kEpoch + days{day_number}};
  CivilDateTime result;
  result.year = static_cast<int>(civil.year());
  result.month = static_cast<int>(static_cast<unsigned>(civil.month()));
  result.day = static_cast<int>(static_cast<unsigned>(civil.day()));
  result.hour = static_cast<int>(seconds / 3600);
  result.minute = static_cast<int>(seconds / 60 % 60);
  result.second = static_cast<int>(seconds % 60);
  return result;
}

}  // namespace norv
