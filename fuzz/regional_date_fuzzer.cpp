// Fuzzes the regional text-to-date conversion (ParseDate as CDate); the dates of
// chosen texts live in tests/data/regional. For any text under every preset:
//   - it raises nothing but 13 (type mismatch);
//   - what it accepts is a day of years 100 to 9999 at a whole second;
//   - blanks around the text change nothing;
//   - a date formatted in the preset's short date and long time forms reads
//     back as the same date-time.
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

  std::optional<Date> date;
  try {
    date = settings.ParseDate(text);
  } catch (const ComError& error) {
    fuzz::RequireErrorIn(error, {kErrTypeMismatch});
  }
  if (!date) return 0;

  const CivilDateTime civil = date->ToCivil();
  fuzz::Require(civil.year >= 100 && civil.year <= 9999, "a date outside years 100 to 9999");
  const double seconds = date->serial() * 86400.0;
  fuzz::Require(
      std::fabs(seconds - std::round(seconds)) < 1e-3 * std::fmax(1.0, std::fabs(date->serial())),
      "a date-time not at a whole second");
  const Date padded = settings.ParseDate(u"  " + text + u"\t ");
  fuzz::Require(padded == *date, "blanks around the text changed the date");

  const std::u16string formatted =
      settings.FormatShortDate(*date) + u" " + settings.FormatLongTime(*date);
  Date again;
  try {
    again = settings.ParseDate(formatted);
  } catch (const ComError&) {
    fuzz::Broken("a formatted date does not read back: " + U16ToUtf8(formatted));
  }
  const CivilDateTime back = again.ToCivil();
  fuzz::Require(back.year == civil.year && back.month == civil.month && back.day == civil.day &&
                    back.hour == civil.hour && back.minute == civil.minute &&
                    back.second == civil.second,
                "a formatted date reads back as another: " + U16ToUtf8(formatted));
  return 0;
}
