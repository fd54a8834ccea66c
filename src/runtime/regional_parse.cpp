// Text to number, amount and date under a RegionalSettings preset. These run for
// every field of a statement file, so they scan in place: no locale, no regex and
// no allocation.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>

#include "runtime/com_error.h"
#include "runtime/regional.h"

namespace norv {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view TrimAround(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// A number read from text as an integer of significant digits times a power of
// ten. Digits past kMaxDigits only leave a trace in `sticky`, which is enough to
// round both a double and a four-decimal amount correctly.
struct DecimalText {
  static constexpr int kMaxDigits = 40;
  bool negative = false;
  char digits[kMaxDigits] = {};
  int count = 0;     // significant digits kept (no leading zeros)
  int exponent = 0;  // value = digits * 10^exponent
  bool sticky = false;

  void AddDigit(char16_t c, bool fraction) {
    const char d = static_cast<char>(c);
    if (count == 0 && d == '0') {
      if (fraction) --exponent;
      return;
    }
    if (count < kMaxDigits) {
      digits[count++] = d;
      if (fraction) --exponent;
    } else {
      if (!fraction) ++exponent;
      sticky = sticky || d != '0';
    }
  }
};

// The grouping symbols a preset accepts between digits: its own, and a plain
// blank where its own is the no-break space (people type the blank).
bool IsGrouping(char16_t c, const RegionalSettings& settings) {
  return c == settings.grouping_separator ||
         (settings.grouping_separator == u'\u00A0' && c == u' ');
}

// Reads [sign] digits-with-grouping [decimal-separator digits] [E [sign] digits].
bool ScanNumber(std::u16string_view text, const RegionalSettings& settings, DecimalText& out) {
  text = TrimAround(text);
  size_t i = 0;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    out.negative = text[i] == u'-';
    ++i;
  }
  bool any_digit = false;
  while (i < text.size()) {
    const char16_t c = text[i];
    if (IsDigit(c)) {
      out.AddDigit(c, false);
      any_digit = true;
      ++i;
    } else if (IsGrouping(c, settings) && i > 0 && IsDigit(text[i - 1]) && i + 1 < text.size() &&
               IsDigit(text[i + 1])) {
      ++i;
    } else {
      break;
    }
  }
  if (i < text.size() && text[i] == settings.decimal_separator) {
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      out.AddDigit(text[i], true);
      any_digit = true;
      ++i;
    }
  }
  if (!any_digit) return false;
  if (i < text.size() && (text[i] == u'E' || text[i] == u'e')) {
    ++i;
    bool exponent_negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
      exponent_negative = text[i] == u'-';
      ++i;
    }
    if (i == text.size() || !IsDigit(text[i])) return false;
    int exponent = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
      // Saturate: an exponent this large already over- or underflows a double.
      if (exponent < 100000) exponent = exponent * 10 + (text[i] - u'0');
    }
    out.exponent += exponent_negative ? -exponent : exponent;
  }
  return i == text.size();
}

double ToDouble(const DecimalText& number) {
  if (number.count == 0) return 0.0;
  // Magnitude is in [10^(count-1+exponent), 10^(count+exponent)).
  const int magnitude = number.count + number.exponent;
  if (magnitude > 310) RaiseRuntime(kErrOverflow);
  if (magnitude < -330) return 0.0;
  char buffer[DecimalText::kMaxDigits + 16];
  char* p = buffer;
  for (int k = 0; k < number.count; ++k) *p++ = number.digits[k];
  int exponent = number.exponent;
  if (number.sticky) {
    *p++ = '1';
    --exponent;
  }
  *p++ = 'e';
  p = std::to_chars(p, buffer + sizeof buffer, exponent).ptr;
  double value = 0.0;
  const auto result = std::from_chars(buffer, p, value);
  if (result.ec == std::errc::result_out_of_range) {
    if (magnitude > 0) RaiseRuntime(kErrOverflow);
    return 0.0;
  }
  if (std::isinf(value)) RaiseRuntime(kErrOverflow);
  return number.negative ? -value : value;
}

Currency ToCurrency(const DecimalText& number) {
  if (number.count == 0) return Currency();
  // raw = digits * 10^(exponent + 4), rounded half to even on the exact decimal.
  constexpr int kDecimals = 4;
  constexpr uint64_t kLimit = uint64_t{1} << 63;  // |raw| of the most negative amount
  const int whole_digits = number.count + number.exponent + kDecimals;
  // 19 digits still fit a uint64, so the range is checked once at the end.
  if (whole_digits > 19) RaiseRuntime(kErrOverflow);
  if (whole_digits < 0) return Currency();  // below half of 1/10000
  const int kept = std::min(number.count, whole_digits);
  uint64_t magnitude = 0;
  for (int k = 0; k < kept; ++k) magnitude = magnitude * 10 + (number.digits[k] - '0');
  for (int k = kept; k < whole_digits; ++k) magnitude *= 10;
  if (kept < number.count) {
    const char first_dropped = number.digits[kept];
    bool rest_nonzero = number.sticky;
    for (int k = kept + 1; k < number.count && !rest_nonzero; ++k) {
      rest_nonzero = number.digits[k] != '0';
    }
    if (first_dropped > '5' || (first_dropped == '5' && (rest_nonzero || magnitude % 2 == 1))) {
      ++magnitude;
    }
  }
  if (magnitude > kLimit || (magnitude == kLimit && !number.negative)) RaiseRuntime(kErrOverflow);
  const int64_t raw =
      number.negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return Currency::FromRaw(raw);
}

// ---- dates ----

struct DateFields {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Reads 1 to max_digits digits at text[i].
bool ReadInt(std::u16string_view text, size_t& i, int max_digits, int& value, int& digits) {
  value = 0;
  digits = 0;
  while (i < text.size() && IsDigit(text[i]) && digits < max_digits) {
    value = value * 10 + (text[i] - u'0');
    ++digits;
    ++i;
  }
  return digits > 0 && !(i < text.size() && IsDigit(text[i]));
}

bool EqualsIgnoreCase(std::u16string_view text, std::u16string_view upper) {
  if (text.size() != upper.size()) return false;
  for (size_t k = 0; k < text.size(); ++k) {
    char16_t c = text[k];
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    if (c != upper[k]) return false;
  }
  return true;
}

// The order of the short date pattern's fields ("yMd", "Mdy", "dMy") and its separator.
struct ShortDateShape {
  char order[3] = {'y', 'M', 'd'};
  char16_t separator = u'.';
};

ShortDateShape ShapeOf(std::u16string_view pattern) {
  ShortDateShape shape;
  int field = 0;
  for (size_t k = 0; k < pattern.size(); ++k) {
    const char16_t c = pattern[k];
    if (c == u'y' || c == u'M' || c == u'd') {
      if (field < 3 && (k == 0 || pattern[k - 1] != c)) shape.order[field++] = static_cast<char>(c);
    } else if (field == 1) {
      shape.separator = c;
    }
  }
  return shape;
}

// Reads "H:mm", "H:mm:ss", each optionally followed by AM or PM.
bool ScanTime(std::u16string_view text, DateFields& out) {
  size_t i = 0;
  int digits = 0;
  if (!ReadInt(text, i, 2, out.hour, digits)) return false;
  if (i == text.size() || text[i] != u':') return false;
  ++i;
  if (!ReadInt(text, i, 2, out.minute, digits) || digits != 2) return false;
  if (i < text.size() && text[i] == u':') {
    ++i;
    if (!ReadInt(text, i, 2, out.second, digits) || digits != 2) return false;
  }
  std::u16string_view rest = TrimAround(text.substr(i));
  if (!rest.empty()) {
    const bool pm = EqualsIgnoreCase(rest, u"PM");
    if (!pm && !EqualsIgnoreCase(rest, u"AM")) return false;
    if (i == text.size() || !IsBlank(text[i])) return false;
    if (out.hour < 1 || out.hour > 12) return false;
    if (out.hour == 12) out.hour = 0;
    if (pm) out.hour += 12;
  }
  return out.hour <= 23 && out.minute <= 59 && out.second <= 59;
}

bool ScanDate(std::u16string_view text, const RegionalSettings& settings, DateFields& out) {
  text = TrimAround(text);
  size_t i = 0;
  int values[3] = {};
  int widths[3] = {};
  char16_t separator = 0;
  for (int field = 0; field < 3; ++field) {
    if (field > 0) {
      if (i == text.size()) return false;
      const char16_t c = text[i];
      if (field == 1) {
        if (c != u'.' && c != u'-' && c != u'/') return false;
        separator = c;
      } else if (c != separator) {
        return false;
      }
      ++i;
    }
    if (!ReadInt(text, i, 4, values[field], widths[field])) return false;
  }
  if (widths[0] == 4) {
    // Year first, with any of the three separators, under every preset.
    if (widths[1] > 2 || widths[2] > 2) return false;
    out.year = values[0];
    out.month = values[1];
    out.day = values[2];
  } else {
    const ShortDateShape shape = ShapeOf(settings.short_date_pattern);
    if (shape.order[0] == 'y' || separator != shape.separator) return false;
    for (int field = 0; field < 3; ++field) {
      const bool is_year = shape.order[field] == 'y';
      if (is_year ? widths[field] != 4 : widths[field] > 2) return false;
      (shape.order[field] == 'y'   ? out.year
       : shape.order[field] == 'M' ? out.month
                                   : out.day) = values[field];
    }
  }
  if (i < text.size()) {
    if (!IsBlank(text[i])) return false;
    if (!ScanTime(TrimAround(text.substr(i)), out)) return false;
  }
  if (out.year < 100 || out.month < 1 || out.month > 12 || out.day < 1) return false;
  const std::chrono::year_month_day civil{std::chrono::year{out.year},
                                          std::chrono::month{static_cast<unsigned>(out.month)},
                                          std::chrono::day{static_cast<unsigned>(out.day)}};
  return civil.ok();
}

}  // namespace

double RegionalSettings::ParseNumber(std::u16string_view text) const {
  DecimalText number;
  if (!ScanNumber(text, *this, number)) RaiseRuntime(kErrTypeMismatch);
  return ToDouble(number);
}

Currency RegionalSettings::ParseCurrency(std::u16string_view text) const {
  DecimalText number;
  if (!ScanNumber(text, *this, number)) RaiseRuntime(kErrTypeMismatch);
  return ToCurrency(number);
}

Date RegionalSettings::ParseDate(std::u16string_view text) const {
  DateFields fields;
  if (!ScanDate(text, *this, fields)) RaiseRuntime(kErrTypeMismatch);
  return Date::FromCivil(fields.year, fields.month, fields.day, fields.hour, fields.minute,
                         fields.second);
}

}  // namespace norv
