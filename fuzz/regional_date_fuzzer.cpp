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
#include <string>
#include <tuple>

#include "fuzz_support.h"

void FuzzOne(norv::fuzz::FuzzInput& in) {
  using namespace norv;
  const RegionalSettings settings = fuzz::PresetOf(in.Byte());
  const std::u16string text = in.Characters();
  Date date;
  if (fuzz::ErrorOf([&] { date = settings.ParseDate(text); }, {kErrTypeMismatch})) return;
  const CivilDateTime civil = date.ToCivil();
  fuzz::Require(civil.year >= 100 && civil.year <= 9999, "a date outside years 100 to 9999");
  const double seconds = date.serial() * 86400.0;
  fuzz::Require(
      std::fabs(seconds - std::round(seconds)) < 1e-3 * std::fmax(1.0, std::fabs(date.serial())),
      "a date-time not at a whole second");
  fuzz::Require(settings.ParseDate(u"  " + text + u"\t ") == date,
                "blanks around the text changed the date");
  const std::u16string formatted =
      settings.FormatShortDate(date) + u" " + settings.FormatLongTime(date);
  CivilDateTime back;
  if (fuzz::ErrorOf([&] { back = settings.ParseDate(formatted).ToCivil(); }, {kErrTypeMismatch}) ||
      std::tie(back.year, back.month, back.day, back.hour, back.minute, back.second) !=
          std::tie(civil.year, civil.month, civil.day, civil.hour, civil.minute, civil.second)) {
    fuzz::Broken("a formatted date does not read back as itself: " + U16ToUtf8(formatted));
  }
}
