#include "runtime/currency.h"

#include <cmath>
#include <limits>

#include "runtime/com_error.h"

namespace norv {
namespace {

// 2^63: the first double that no longer fits an int64.
constexpr double kTwoPow63 = 9223372036854775808.0;

int64_t RoundToRaw(double scaled) {
  if (std::isnan(scaled)) RaiseRuntime(kErrOverflow);
  const double rounded = RoundHalfEven(scaled);
  if (!(rounded >= -kTwoPow63 && rounded < kTwoPow63)) RaiseRuntime(kErrOverflow);
  return static_cast<int64_t>(rounded);
}

}  // namespace

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double floor = std::floor(value);
  const double diff = value - floor;
  if (diff < 0.5) return floor;
  if (diff > 0.5) return floor + 1.0;
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

Currency Currency::FromDouble(double value) {
  return Currency(RoundToRaw(value * static_cast<double>(kScale)));
}

Currency Currency::FromInteger(int64_t whole) {
  int64_t raw = 0;
  if (__builtin_mul_overflow(whole, kScale, &raw)) RaiseRuntime(kErrOverflow);
  return Currency(raw);
}

double Currency::ToDouble() const { return static_cast<double>(raw_) / kScale; }

Currency Currency::operator+(Currency other) const {
  int64_t raw = 0;
  if (__builtin_add_overflow(raw_, other.raw_, &raw)) RaiseRuntime(kErrOverflow);
  return Currency(raw);
}

Currency Currency::operator-(Currency other) const {
  int64_t raw = 0;
  if (__builtin_sub_overflow(raw_, other.raw_, &raw)) RaiseRuntime(kErrOverflow);
  return Currency(raw);
}

Currency Currency::operator-() const {
  if (raw_ == std::numeric_limits<int64_t>::min()) RaiseRuntime(kErrOverflow);
  return Currency(-raw_);
}

Currency Currency::operator*(double factor) const {
  return Currency(RoundToRaw(static_cast<double>(raw_) * factor));
}

Currency Currency::operator/(double divisor) const {
  if (divisor == 0.0) RaiseRuntime(kErrDivisionByZero);
  return Currency(RoundToRaw(static_cast<double>(raw_) / divisor));
}

void CheckedIncrement(int16_t& counter) {
  if (counter == std::numeric_limits<int16_t>::max()) RaiseRuntime(kErrOverflow);
  ++counter;
}

}  // namespace norv
