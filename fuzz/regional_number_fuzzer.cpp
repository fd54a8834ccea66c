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
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace norv;
  fuzz::FuzzInput input(data, size);
  const RegionalSettings settings = fuzz::PresetOf(input.Byte());
  const std::u16string text = input.RestAsText();

  std::optional<double> number;
  bool number_text = true;
  try {
    number = settings.ParseNumber(text);
  } catch (const ComError& error) {
    fuzz::RequireErrorIn(error, {kErrTypeMismatch, kErrOverflow});
    number_text = error.number() != kErrTypeMismatch;
  }
  std::optional<Currency> amount;
  try {
    amount = settings.ParseCurrency(text);
  } catch (const ComError& error) {
    fuzz::RequireErrorIn(error, {kErrTypeMismatch, kErrOverflow});
    fuzz::Require((error.number() != kErrTypeMismatch) == number_text,
                  std::string("ParseNumber and ParseCurrency take other texts: ") + error.what());
  }
  if (amount) {
    fuzz::Require(number_text, "ParseCurrency took a text ParseNumber refuses");
    if (number) {
      const double difference = std::fabs(amount->ToDouble() - *number);
      fuzz::Require(difference <= (0.00005 + std::fabs(*number) * 1e-14) * (1 + 1e-9),
                    "an amount read is not the number read: " + U16ToUtf8(text));
    }
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
