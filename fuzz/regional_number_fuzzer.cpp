// Fuzzes the regional text-to-number and text-to-amount conversions
// (ParseNumber as CDbl, ParseCurrency as CCur). The values of chosen texts live
// in tests/data/regional; here, under every preset and for any text:
//   - both raise nothing but 13 (not a number) and 6 (out of range), and both
//     take the same texts;
//   - an amount read is the number read, rounded to four decimals;
//   - a number formatted with "0.0000" under the same settings reads back.
//
// Input: one byte choosing the regional preset, then the text.
#include <cmath>
#include <optional>
#include <string>

#include "fuzz_support.h"

void FuzzOne(norv::fuzz::FuzzInput& in) {
  using namespace norv;
  const RegionalSettings settings = fuzz::PresetOf(in.Byte());
  const std::u16string text = in.Characters();
  // Format rounds to 15 significant digits first, then to 4 decimals (and an
  // amount to 4 decimals): both roundings may add up.
  const auto near = [](double a, double b) {
    return std::fabs(a - b) <= (0.00005 + std::fabs(b) * 1e-14) * (1 + 1e-9);
  };
  double number = 0;
  Currency amount;
  const auto number_error =
      fuzz::ErrorOf([&] { number = settings.ParseNumber(text); }, {kErrTypeMismatch, kErrOverflow});
  const auto amount_error = fuzz::ErrorOf([&] { amount = settings.ParseCurrency(text); },
                                          {kErrTypeMismatch, kErrOverflow});
  fuzz::Require((number_error && number_error->number() == kErrTypeMismatch) ==
                    (amount_error && amount_error->number() == kErrTypeMismatch),
                "ParseNumber and ParseCurrency take other texts");
  if (number_error) return;
  if (!amount_error && !near(amount.ToDouble(), number)) {
    fuzz::Broken("an amount read is not the number read: " + U16ToUtf8(text));
  }
  if (std::fabs(number) >= 1e15) return;
  const std::u16string formatted = settings.FormatNumber(number, u"0.0000");
  double again = 0;
  if (fuzz::ErrorOf([&] { again = settings.ParseNumber(formatted); }, {kErrTypeMismatch}) ||
      !near(again, number)) {
    fuzz::Broken("a formatted number does not read back as itself: " + U16ToUtf8(formatted));
  }
}
