// Fuzzes the regional text-to-date conversion (ParseDate as CDate):
//   - it raises nothing but 13 (type mismatch);
//   - what it accepts is a day of years 100 to 9999 at a whole second;
//   - blanks around the text change nothing;
//   - a year-first date (four-digit year, one separator of . - / used twice,
//     month and day of one or two digits) is accepted in every preset exactly
//     when the calendar has that day, and gives that day;
//   - a date formatted in the preset's short date and long time forms reads
//     back as the same date-time.
//
// Input: one byte choosing the regional preset, then the text.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_support.h"

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

struct Civil {
  int year, month, day;
};

// The date when the text is exactly a year-first date, nullopt otherwise.
std::optional<Civil> YearFirst(std::u16string text) {
  while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.erase(0, 1);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.pop_back();
  size_t i = 0;
  const auto number = [&](size_t min, size_t max) -> std::optional<int> {
    size_t start = i;
    while (i < text.size() && IsDigit(text[i]) && i - start < max) ++i;
    if (i - start < min || (i < text.size() && IsDigit(text[i]))) return std::nullopt;
    int value = 0;
    for (size_t k = start; k < i; ++k) value = value * 10 + (text[k] - u'0');
    return value;
  };
  const std::optional<int> year = number(4, 4);
  if (!year || i >= text.size()) return std::nullopt;
  const char16_t separator = text[i++];
  if (separator != u'.' && separator != u'-' && separator != u'/') return std::nullopt;
  const std::optional<int> month = number(1, 2);
  if (!month || i >= text.size() || text[i++] != separator) return std::nullopt;
  const std::optional<int> day = number(1, 2);
  if (!day || i != text.size()) return std::nullopt;
  return Civil{*year, *month, *day};
}

bool CalendarHas(const Civil& c) {
  const std::chrono::year_month_day ymd{std::chrono::year{c.year},
                                        std::chrono::month{unsigned(c.month)},
                                        std::chrono::day{unsigned(c.day)}};
  return c.year >= 100 && ymd.ok();
}

}  // namespace

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

  const std::optional<Civil> year_first = YearFirst(text);
  if (year_first) {
    fuzz::Require(date.has_value() == CalendarHas(*year_first),
                  "a year-first date accepted or refused against the calendar");
  }
  if (!date) return 0;

  const CivilDateTime civil = date->ToCivil();
  fuzz::Require(civil.year >= 100 && civil.year <= 9999, "a date outside years 100 to 9999");
  const double seconds = date->serial() * 86400.0;
  fuzz::Require(
      std::fabs(seconds - std::round(seconds)) < 1e-3 * std::fmax(1.0, std::fabs(date->serial())),
      "a date-time not at a whole second");
  if (year_first) {
    fuzz::Require(civil.year == year_first->year && civil.month == year_first->month &&
                      civil.day == year_first->day && civil.hour == 0 && civil.minute == 0 &&
                      civil.second == 0,
                  "a year-first date read as another day");
  }

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
