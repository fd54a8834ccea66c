// Fuzzes the regional text-to-number and text-to-amount conversions
// (ParseNumber as CDbl, ParseCurrency as CCur) against a reference that reads
// the documented grammar character by character and lets strtod and plain
// decimal arithmetic compute the value:
//   - ParseNumber accepts exactly the texts of the grammar (13 otherwise), and
//     gives strtod's correctly rounded double (6 beyond the double range);
//   - ParseCurrency accepts the same texts and gives the digits rounded half to
//     even at four decimals (6 beyond the amount's range);
//   - a number formatted with "0.0000" under the same settings reads back.
//
// Input: one byte choosing the regional preset, then the text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "fuzz_support.h"

namespace {

using norv::RegionalSettings;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// A text the grammar accepts, as digits and an exponent: value = digits x 10^exponent.
struct Decimal {
  bool negative = false;
  std::string digits;      // without leading zeros; empty for zero
  long long exponent = 0;  // may be huge: the text's exponent is any digit string
  std::string for_strtod;  // the same number in the C locale
};

std::optional<Decimal> ReadGrammar(std::u16string text, const RegionalSettings& settings) {
  while (!text.empty() && IsBlank(text.front())) text.erase(0, 1);
  while (!text.empty() && IsBlank(text.back())) text.pop_back();
  const auto grouping = [&](char16_t c) {
    return c == settings.grouping_separator ||
           (settings.grouping_separator == u'\u00A0' && c == u' ');
  };
  Decimal out;
  size_t i = 0;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    out.negative = text[i] == u'-';
    if (out.negative) out.for_strtod += '-';
    ++i;
  }
  std::string mantissa;
  long long fraction_digits = 0;
  for (; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      mantissa += static_cast<char>(text[i]);
    } else if (grouping(text[i]) && i > 0 && IsDigit(text[i - 1]) && i + 1 < text.size() &&
               IsDigit(text[i + 1])) {
      continue;
    } else {
      break;
    }
  }
  if (i < text.size() && text[i] == settings.decimal_separator) {
    for (++i; i < text.size() && IsDigit(text[i]); ++i) {
      mantissa += static_cast<char>(text[i]);
      ++fraction_digits;
    }
  }
  if (mantissa.empty()) return std::nullopt;
  out.for_strtod += mantissa.substr(0, mantissa.size() - fraction_digits) + "." +
                    mantissa.substr(mantissa.size() - fraction_digits);
  long long exponent = 0;
  if (i < text.size() && (text[i] == u'E' || text[i] == u'e')) {
    ++i;
    bool minus = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) minus = text[i++] == u'-';
    if (i == text.size() || !IsDigit(text[i])) return std::nullopt;
    std::string exponent_digits;
    for (; i < text.size() && IsDigit(text[i]); ++i) exponent_digits += static_cast<char>(text[i]);
    // Anything past a million digits of exponent is zero or beyond any range alike.
    while (exponent_digits.size() > 1 && exponent_digits[0] == '0') exponent_digits.erase(0, 1);
    exponent = exponent_digits.size() > 7 ? 10000000 : std::stoll(exponent_digits);
    if (minus) exponent = -exponent;
    out.for_strtod += "e" + std::to_string(exponent);
  }
  if (i != text.size()) return std::nullopt;
  size_t first = mantissa.find_first_not_of('0');
  out.digits = first == std::string::npos ? "" : mantissa.substr(first);
  while (!out.digits.empty() && out.digits.back() == '0') {
    out.digits.pop_back();
    ++exponent;
  }
  out.exponent = exponent - fraction_digits;
  return out;
}

// The amount's raw value (x 10000) rounded half to even, nullopt when beyond the range.
std::optional<int64_t> AmountOf(const Decimal& d) {
  if (d.digits.empty()) return 0;
  const long long shift = d.exponent + 4;
  if (shift >= 0 && static_cast<long long>(d.digits.size()) + shift > 19) return std::nullopt;
  std::string whole = d.digits;
  std::string rest;
  if (shift >= 0) {
    whole.append(static_cast<size_t>(shift), '0');
  } else if (-shift >= static_cast<long long>(whole.size())) {
    rest = std::string(static_cast<size_t>(-shift - static_cast<long long>(whole.size())), '0') +
           whole;
    whole.clear();
  } else {
    rest = whole.substr(whole.size() + shift);
    whole.resize(whole.size() + shift);
  }
  if (whole.size() > 19) return std::nullopt;
  uint64_t raw = 0;  // at most 19 digits: below 2^64
  for (char c : whole) raw = raw * 10 + static_cast<unsigned>(c - '0');
  if (!rest.empty()) {
    const bool above_half =
        rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string::npos);
    const bool half = rest[0] == '5' && rest.find_first_not_of('0', 1) == std::string::npos;
    if (above_half || (half && raw % 2 == 1)) ++raw;
  }
  if (raw > static_cast<uint64_t>(INT64_MAX)) return std::nullopt;
  const auto value = static_cast<int64_t>(raw);
  return d.negative ? -value : value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace norv;
  fuzz::FuzzInput input(data, size);
  const RegionalSettings settings = fuzz::PresetOf(input.Byte());
  const std::u16string text = input.RestAsText();
  const std::optional<Decimal> expected = ReadGrammar(text, settings);

  std::optional<double> number;
  try {
    number = settings.ParseNumber(text);
  } catch (const ComError& error) {
    fuzz::RequireErrorIn(error, {kErrTypeMismatch, kErrOverflow});
    fuzz::Require((error.number() == kErrTypeMismatch) == !expected.has_value(),
                  std::string("ParseNumber and the grammar disagree: ") + error.what());
    if (error.number() == kErrOverflow) {
      fuzz::Require(std::isinf(std::strtod(expected->for_strtod.c_str(), nullptr)),
                    "ParseNumber overflowed on a number in range: " + expected->for_strtod);
    }
  }
  if (number) {
    fuzz::Require(expected.has_value(), "ParseNumber accepted a text outside the grammar");
    const double reference = std::strtod(expected->for_strtod.c_str(), nullptr);
    fuzz::Require(std::isfinite(*number), "ParseNumber gave no finite number");
    fuzz::Require(*number == reference,
                  "ParseNumber differs from strtod for " + expected->for_strtod);
  }

  std::optional<Currency> amount;
  try {
    amount = settings.ParseCurrency(text);
  } catch (const ComError& error) {
    fuzz::RequireErrorIn(error, {kErrTypeMismatch, kErrOverflow});
    fuzz::Require((error.number() == kErrTypeMismatch) == !expected.has_value(),
                  std::string("ParseCurrency and the grammar disagree: ") + error.what());
    if (error.number() == kErrOverflow) {
      const std::optional<int64_t> raw = AmountOf(*expected);
      // The very edge of the range may go either way; well inside it may not.
      fuzz::Require(!raw || *raw > INT64_MAX - 2 || *raw < INT64_MIN + 2,
                    "ParseCurrency overflowed on an amount in range: " + expected->for_strtod);
    }
  }
  if (amount) {
    fuzz::Require(expected.has_value(), "ParseCurrency accepted a text outside the grammar");
    const std::optional<int64_t> raw = AmountOf(*expected);
    fuzz::Require(raw.has_value() && amount->raw() == *raw,
                  "ParseCurrency differs from the decimal rounding for " + expected->for_strtod);
  }

  if (number && std::fabs(*number) < 1e15) {
    const std::u16string formatted = settings.FormatNumber(*number, u"0.0000");
    double again = 0;
    try {
      again = settings.ParseNumber(formatted);
    } catch (const ComError&) {
      fuzz::Broken("a formatted number does not read back: " + U16ToUtf8(formatted));
    }
    // Format rounds to 15 significant digits first, then to the pattern's 4
    // decimals: both roundings may add up.
    const double tolerance = (0.00005 + std::fabs(*number) * 1e-14) * (1 + 1e-9);
    fuzz::Require(std::fabs(again - *number) <= tolerance,
                  "a formatted number reads back as another: " + U16ToUtf8(formatted));
  }
  return 0;
}
