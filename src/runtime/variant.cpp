#include "runtime/variant.h"

#include <cmath>
#include <cstdlib>

#include "runtime/com_error.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv {
namespace {

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// Amounts print with up to four decimals, trailing zeros dropped, no grouping.
std::u16string CurrencyToText(Currency value, char16_t decimal_separator) {
  const int64_t raw = value.raw();
  // Work on the magnitude as unsigned so that the most negative amount fits.
  const uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  std::u16string out;
  if (raw < 0) out += u'-';
  out += IntToText(static_cast<long long>(magnitude / Currency::kScale));
  uint64_t fraction = magnitude % Currency::kScale;
  if (fraction != 0) {
    out += decimal_separator;
    for (uint64_t unit = Currency::kScale / 10; fraction != 0; unit /= 10) {
      out += static_cast<char16_t>(u'0' + fraction / unit);
      fraction %= unit;
    }
  }
  return out;
}

// The serial range of the calendar, 1 January 100 to 31 December 9999.
Date CheckedDate(double serial) {
  if (!(serial >= -657434.0 && serial < 2958466.0)) RaiseRuntime(kErrOverflow);
  return Date(serial);
}

int32_t CheckedInt32(double value) {
  const double rounded = RoundHalfEven(value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) RaiseRuntime(kErrOverflow);
  return static_cast<int32_t>(rounded);
}

}  // namespace

std::u16string VariantToText(const Variant& value) {
  const RegionalSettings& settings = RegionalSettings::Current();
  return std::visit(
      Overloaded{
          [](std::monostate) { return std::u16string(); },
          [](const std::u16string& text) { return text; },
          [](int32_t number) { return IntToText(number); },
          [&](double number) { return GeneralNumber(number, settings.decimal_separator); },
          [&](Currency amount) { return CurrencyToText(amount, settings.decimal_separator); },
          [&](Date date) {
            // As the platform's CStr: a date without a time prints the date only, a
            // time without a date (day 0) the time only, and both print both.
            const double whole = std::trunc(date.serial());
            const bool has_time = date.serial() != whole;
            if (whole == 0.0) return settings.FormatLongTime(date);
            if (!has_time) return settings.FormatShortDate(date);
            return settings.FormatShortDate(date) + u' ' + settings.FormatLongTime(date);
          },
          [](bool flag) { return std::u16string(flag ? u"True" : u"False"); },
      },
      value);
}

Currency VariantToCurrency(const Variant& value) {
  return std::visit(Overloaded{
                        [](std::monostate) { return Currency(); },
                        [](const std::u16string& text) {
                          return RegionalSettings::Current().ParseCurrency(text);
                        },
                        [](int32_t number) { return Currency::FromInteger(number); },
                        [](double number) { return Currency::FromDouble(number); },
                        [](Currency amount) { return amount; },
                        [](Date date) { return Currency::FromDouble(date.serial()); },
                        [](bool flag) { return Currency::FromInteger(flag ? -1 : 0); },
                    },
                    value);
}

int32_t VariantToInt32(const Variant& value) {
  return std::visit(Overloaded{
                        [](std::monostate) { return int32_t{0}; },
                        [](const std::u16string& text) {
                          return CheckedInt32(RegionalSettings::Current().ParseNumber(text));
                        },
                        [](int32_t number) { return number; },
                        [](double number) { return CheckedInt32(number); },
                        [](Currency amount) {
                          // Exact: whole units, then the remainder decides, ties to even.
                          int64_t whole = amount.raw() / Currency::kScale;
                          const int64_t rest = amount.raw() % Currency::kScale;
                          const int64_t half = Currency::kScale / 2;
                          if (rest > half || (rest == half && whole % 2 != 0)) ++whole;
                          if (rest < -half || (rest == -half && whole % 2 != 0)) --whole;
                          if (whole < INT32_MIN || whole > INT32_MAX) RaiseRuntime(kErrOverflow);
                          return static_cast<int32_t>(whole);
                        },
                        [](Date date) { return CheckedInt32(date.serial()); },
                        [](bool flag) { return int32_t{flag ? -1 : 0}; },
                    },
                    value);
}

double VariantToDouble(const Variant& value) {
  return std::visit(
      Overloaded{
          [](std::monostate) { return 0.0; },
          [](const std::u16string& text) { return RegionalSettings::Current().ParseNumber(text); },
          [](int32_t number) { return static_cast<double>(number); },
          [](double number) { return number; },
          [](Currency amount) { return amount.ToDouble(); },
          [](Date date) { return date.serial(); },
          [](bool flag) { return flag ? -1.0 : 0.0; },
      },
      value);
}

Date VariantToDate(const Variant& value) {
  return std::visit(
      Overloaded{
          [](std::monostate) { return Date(); },
          [](const std::u16string& text) { return RegionalSettings::Current().ParseDate(text); },
          [](int32_t number) { return CheckedDate(number); },
          [](double number) { return CheckedDate(number); },
          [](Currency amount) { return CheckedDate(amount.ToDouble()); },
          [](Date date) { return date; },
          [](bool flag) { return Date(flag ? -1.0 : 0.0); },
      },
      value);
}

}  // namespace norv
