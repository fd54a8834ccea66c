// RegionalSettings: the user's regional settings as the platform's text/number/
// date conversions use them. Each host thread has a current preset (lt-LT unless
// the host chooses another); docs/regional.md lists which text forms each
// conversion accepts.
#pragma once

#include <string>
#include <string_view>

#include "currency.h"
#include "date.h"
#include "export.h"

namespace norv {

struct NORV_EXPORT RegionalSettings {
  std::u16string name;  // "lt-LT", "lt-LT-2010", "en-US", "invariant"
  char16_t decimal_separator = u'.';
  char16_t grouping_separator = u',';  // the digit grouping symbol
  std::u16string short_date_pattern;   // e.g. "yyyy.MM.dd", "M/d/yyyy"
  std::u16string long_time_pattern;    // e.g. "HH:mm:ss", "h:mm:ss tt"
  std::u16string currency_symbol;      // e.g. "Lt", "$"
  bool currency_symbol_first = false;  // "$1.20" versus "1,20 Lt"

  // Presets; Preset raises runtime error 5 for an unknown name.
  static RegionalSettings LtLT();
  static RegionalSettings LtLT2010();
  static RegionalSettings EnUS();
  static RegionalSettings Invariant();
  static RegionalSettings Preset(std::u16string_view name);

  // The settings of the calling thread (lt-LT until SetCurrent is called).
  // SetCurrent copies `settings`; the reference Current returned before stays
  // valid and sees the new values.
  static const RegionalSettings& Current();
  static void SetCurrent(const RegionalSettings& settings);

  // Text to number as CDbl does: blanks around, a sign, grouping symbols between
  // digits, the decimal separator, an exponent; anything else raises 13.
  double ParseNumber(std::u16string_view text) const;
  // Text to amount as CCur does (ParseNumber, then rounding half to even to 4 decimals;
  // out of range raises 6).
  Currency ParseCurrency(std::u16string_view text) const;
  // Text to date-time as CDate does: the short date form and the other orders of
  // day, month and year that the preset accepts, optionally followed by a time;
  // anything else raises 13.
  Date ParseDate(std::u16string_view text) const;

  std::u16string FormatShortDate(Date value) const;  // the short date form
  std::u16string FormatLongTime(Date value) const;   // the long time form
  // Formats a number with a numeric pattern such as "##########0.00" or "0.0000":
  // rounds half away from zero to the pattern's decimals, the decimal separator of
  // these settings, no grouping (the patterns used here have none).
  std::u16string FormatNumber(double value, std::u16string_view pattern) const;
  // Formats a date with a pattern of "YY", "YYYY", "MM", "DD" (any case) and
  // literal characters: FormatDatePattern(d, u"YYMMDD") gives 240131.
  static std::u16string FormatDatePattern(Date value, std::u16string_view pattern);
  // The currency format (FormatCurrency): 2 decimals, grouping, the symbol.
  std::u16string FormatCurrency(double value) const;
};

}  // namespace norv
