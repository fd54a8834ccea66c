// Date: the host's date-time, a day count from 30 December 1899 whose fraction
// is the time of day; 0 is the empty date-time. Civil conversions go through
// std::chrono's calendar types.
#pragma once

#include <compare>

#include "export.h"

namespace norv {

struct NORV_EXPORT CivilDateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class NORV_EXPORT Date {
 public:
  constexpr Date() = default;
  constexpr explicit Date(double serial) : serial_(serial) {}

  // Raises runtime error 5 for a day that the calendar does not have.
  static Date FromCivil(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
  static Date Now();    // local wall-clock time, to the second
  static Date Today();  // Now() without the time of day

  constexpr double serial() const { return serial_; }
  constexpr bool IsEmpty() const { return serial_ == 0.0; }
  // Splits into civil fields; the time is rounded to the nearest second.
  CivilDateTime ToCivil() const;

  constexpr auto operator<=>(const Date&) const = default;

 private:
  double serial_ = 0.0;
};

}  // namespace norv
