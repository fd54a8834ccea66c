// Currency: the host's amount, a 64-bit signed fixed-point value with four
// decimals (the stored integer is the value times 10000). All arithmetic is
// checked: leaving the 64-bit range raises runtime error 6 (overflow).
#pragma once

#include <compare>
#include <cstdint>

#include "export.h"

namespace norv {

class NORV_EXPORT Currency {
 public:
  static constexpr int64_t kScale = 10000;

  constexpr Currency() = default;
  static constexpr Currency FromRaw(int64_t raw) { return Currency(raw); }
  // Rounds to the nearest 1/10000, ties to even; out of range or NaN raises 6.
  static Currency FromDouble(double value);
  static Currency FromInteger(int64_t whole);  // raises 6 when value*10000 overflows

  constexpr int64_t raw() const { return raw_; }
  double ToDouble() const;  // the amount as a double (raw / 10000)
  bool IsZero() const { return raw_ == 0; }

  Currency operator+(Currency other) const;
  Currency operator-(Currency other) const;
  Currency operator-() const;
  // Multiplies and divides through double precision, then rounds half to even,
  // as the platform's currency arithmetic does.
  Currency operator*(double factor) const;
  Currency operator/(double divisor) const;  // dividing by zero raises 11

  constexpr auto operator<=>(const Currency&) const = default;

 private:
  constexpr explicit Currency(int64_t raw) : raw_(raw) {}
  int64_t raw_ = 0;
};

// Rounds a double to the nearest integer, ties to even (banker's rounding).
NORV_EXPORT double RoundHalfEven(double value);

// Adds one to a 16-bit counter; past 32767 raises runtime error 6.
NORV_EXPORT void CheckedIncrement(int16_t& counter);

}  // namespace norv
