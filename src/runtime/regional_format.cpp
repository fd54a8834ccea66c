// Numbers and dates to text under a RegionalSettings preset.
#include <charconv>
#include <cmath>
#include <string>

#include "runtime/com_error.h"
#include "runtime/regional.h"

namespace norv {
namespace {

void AppendNumber(std::u16string& out, int value, int min_digits) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  for (int pad = static_cast<int>(result.ptr - buffer); pad < min_digits; ++pad) out += u'0';
  for (const char* p = buffer; p != result.ptr; ++p) out += static_cast<char16_t>(*p);
}

// Formats civil fields by a pattern of runs of y, M, d, H, h, m, s and t; any
// other character is copied.
std::u16string FormatCivil(const CivilDateTime& civil, std::u16string_view pattern) {
  std::u16string out;
  for (size_t i = 0; i < pattern.size();) {
    const char16_t c = pattern[i];
    size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    const int width = static_cast<int>(run);
    switch (c) {
      case u'y':
        if (run <= 2) {
          AppendNumber(out, civil.year % 100, width);
        } else {
          AppendNumber(out, civil.year, width);
        }
        break;
      case u'M':
        AppendNumber(out, civil.month, width);
        break;
      case u'd':
        AppendNumber(out, civil.day, width);
        break;
      case u'H':
        AppendNumber(out, civil.hour, width);
        break;
      case u'h':
        AppendNumber(out, civil.hour % 12 == 0 ? 12 : civil.hour % 12, width);
        break;
      case u'm':
        AppendNumber(out, civil.minute, width);
        break;
      case u's':
        AppendNumber(out, civil.second, width);
        break;
      case u't':
        out += civil.hour < 12 ? u"AM" : u"PM";
        break;
      default:
        out.append(run, c);
        break;
    }
    i += run;
  }
  return out;
}

// The decimal digits of |value| rounded half away from zero to `decimals`
// places, taken from its 15 significant digits (the precision the platform's
// Format works with, so 2.675 formats as 2.68).
struct RoundedDigits {
  std::string whole;     // at least "0"
  std::string fraction;  // exactly `decimals` digits
  bool IsZero() const {
    return whole.find_first_not_of('0') == std::string::npos &&
           fraction.find_first_not_of('0') == std::string::npos;
  }
};

RoundedDigits RoundToDecimals(double value, int decimals) {
  if (!std::isfinite(value)) RaiseRuntime(kErrOverflow);
  RoundedDigits out;
  if (value == 0.0) {
    out.whole = "0";
    out.fraction.assign(static_cast<size_t>(decimals), '0');
    return out;
  }
  char buffer[40];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                    std::chars_format::scientific, 14);
  const std::string_view sci(buffer, static_cast<size_t>(result.ptr - buffer));
  const size_t e_pos = sci.find('e');
  int exponent = 0;
  std::from_chars(sci.data() + e_pos + (sci[e_pos + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                  exponent);
  std::string digits;
  digits += sci[0];
  digits.append(sci.substr(2, e_pos - 2));
  int point = exponent + 1;  // digits before the decimal point

  const int kept = point + decimals;
  if (kept < 0) {
    digits.clear();
  } else if (kept < static_cast<int>(digits.size())) {
    const bool round_up = digits[static_cast<size_t>(kept)] >= '5';
    digits.resize(static_cast<size_t>(kept));
    if (round_up) {
      int k = kept - 1;
      for (; k >= 0 && digits[static_cast<size_t>(k)] == '9'; --k)
        digits[static_cast<size_t>(k)] = '0';
      if (k >= 0) {
        ++digits[static_cast<size_t>(k)];
      } else {
        digits.insert(digits.begin(), '1');
        ++point;
      }
    }
  }
  auto digit_at = [&](int index) {
    return index >= 0 && index < static_cast<int>(digits.size())
               ? digits[static_cast<size_t>(index)]
               : '0';
  };
  for (int k = 0; k < point; ++k) out.whole += digit_at(k);
  const size_t first = out.whole.find_first_not_of('0');
  out.whole = first == std::string::npos ? "0" : out.whole.substr(first);
  for (int k = 0; k < decimals; ++k) out.fraction += digit_at(point + k);
  return out;
}

void AppendGrouped(std::u16string& out, const std::string& whole, char16_t grouping) {
  for (size_t k = 0; k < whole.size(); ++k) {
    if (k > 0 && (whole.size() - k) % 3 == 0) out += grouping;
    out += static_cast<char16_t>(whole[k]);
  }
}

}  // namespace

std::u16string RegionalSettings::FormatShortDate(Date value) const {
  return FormatCivil(value.ToCivil(), short_date_pattern);
}

std::u16string RegionalSettings::FormatLongTime(Date value) const {
  return FormatCivil(value.ToCivil(), long_time_pattern);
}

std::u16string RegionalSettings::FormatNumber(double value, std::u16string_view pattern) const {
  // Pattern: integer part of "#", "0" and "," (grouping); optionally "." and a
  // fraction of "0" (always shown) then "#" (shown when not zero).
  int min_whole = 0;
  bool grouped = false;
  size_t i = 0;
  for (; i < pattern.size() && pattern[i] != u'.'; ++i) {
    if (pattern[i] == u'0') {
      ++min_whole;
    } else if (pattern[i] == u',') {
      grouped = true;
    } else if (pattern[i] != u'#') {
      RaiseRuntime(kErrInvalidCall, std::u16string(pattern));
    }
  }
  int min_fraction = 0;
  int max_fraction = 0;
  if (i < pattern.size()) {
    for (++i; i < pattern.size(); ++i) {
      if (pattern[i] == u'0' && max_fraction == min_fraction) {
        ++min_fraction;
      } else if (pattern[i] != u'#') {
        RaiseRuntime(kErrInvalidCall, std::u16string(pattern));
      }
      ++max_fraction;
    }
  }
  RoundedDigits digits = RoundToDecimals(value, max_fraction);
  while (static_cast<int>(digits.fraction.size()) > min_fraction && digits.fraction.back() == '0') {
    digits.fraction.pop_back();
  }
  if (digits.whole == "0" && min_whole == 0) digits.whole.clear();
  if (static_cast<int>(digits.whole.size()) < min_whole) {
    digits.whole.insert(0, static_cast<size_t>(min_whole) - digits.whole.size(), '0');
  }
  std::u16string out;
  if (value < 0 && !digits.IsZero()) out += u'-';
  if (grouped) {
    AppendGrouped(out, digits.whole, grouping_separator);
  } else {
    for (char c : digits.whole) out += static_cast<char16_t>(c);
  }
  if (!digits.fraction.empty()) {
    out += decimal_separator;
    for (char c : digits.fraction) out += static_cast<char16_t>(c);
  }
  return out;
}

std::u16string RegionalSettings::FormatDatePattern(Date value, std::u16string_view pattern) {
  const CivilDateTime civil = value.ToCivil();
  std::u16string out;
  out.reserve(pattern.size() + 4);
  auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; };
  auto run_at = [&](size_t at, std::u16string_view token) {
    if (at + token.size() > pattern.size()) return false;
    for (size_t k = 0; k < token.size(); ++k) {
      if (upper(pattern[at + k]) != token[k]) return false;
    }
    return true;
  };
  for (size_t i = 0; i < pattern.size();) {
    if (run_at(i, u"YYYY")) {
      AppendNumber(out, civil.year, 4);
      i += 4;
    } else if (run_at(i, u"YY")) {
      AppendNumber(out, civil.year % 100, 2);
      i += 2;
    } else if (run_at(i, u"MM")) {
      AppendNumber(out, civil.month, 2);
      i += 2;
    } else if (run_at(i, u"DD")) {
      AppendNumber(out, civil.day, 2);
      i += 2;
    } else {
      out += pattern[i++];
    }
  }
  return out;
}

std::u16string RegionalSettings::FormatCurrency(double value) const {
  const RoundedDigits digits = RoundToDecimals(value, 2);
  std::u16string amount;
  AppendGrouped(amount, digits.whole, grouping_separator);
  amount += decimal_separator;
  for (char c : digits.fraction) amount += static_cast<char16_t>(c);
  std::u16string out;
  if (value < 0 && !digits.IsZero()) out += u'-';
  if (currency_symbol_first) {
    out += currency_symbol;
    out += amount;
  } else {
    out += amount;
    out += u' ';
    out += currency_symbol;
  }
  return out;
}

}  // namespace norv
