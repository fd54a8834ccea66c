#include "jobs/json_values.h"

#include <cstdint>
#include <limits>

#include "jobs/job_error.h"
#include "runtime/com_error.h"

namespace norv::jobs {

namespace {

[[noreturn]] void WrongForm(const WhereFn& where, std::string_view expected,
                            std::string_view text) {
  FailJob(kErrTypeMismatch,
          where() + ": expected " + std::string(expected) + ", not \"" + std::string(text) + "\"");
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Four digits of `value` (0..9999) at `out`.
void PutFour(char* out, unsigned value) {
  for (int i = 3; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

}  // namespace

std::string AmountText(Currency amount) {
  const int64_t raw = amount.raw();
  uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  char buffer[32];
  char* end = buffer + sizeof buffer;
  char* p = end - 5;
  p[0] = '.';
  PutFour(p + 1, static_cast<unsigned>(magnitude % 10000));
  magnitude /= 10000;
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (raw < 0) *--p = '-';
  return std::string(p, end);
}

std::string DateText(Date date) {
  if (date.IsEmpty()) return "";
  const CivilDateTime civil =
      Date(static_cast<double>(static_cast<int64_t>(date.serial()))).ToCivil();
  std::string text = "0000-00-00";
  PutFour(text.data(), static_cast<unsigned>(civil.year));
  text[5] = static_cast<char>('0' + civil.month / 10);
  text[6] = static_cast<char>('0' + civil.month % 10);
  text[8] = static_cast<char>('0' + civil.day / 10);
  text[9] = static_cast<char>('0' + civil.day % 10);
  return text;
}

// Exact decimal text to the amount's integer, without going through a double.
Currency ParseAmountText(std::string_view text, const WhereFn& where) {
  constexpr std::string_view kExpected =
      "an amount such as \"1234.50\" (a point, at most 4 decimals)";
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++i;
  const size_t int_start = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  const size_t int_end = i;
  size_t frac_start = i, frac_end = i;
  if (i < text.size() && text[i] == '.') {
    frac_start = ++i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    frac_end = i;
    if (frac_end == frac_start || frac_end - frac_start > 4) WrongForm(where, kExpected, text);
  }
  if (int_end == int_start || i != text.size()) WrongForm(where, kExpected, text);

  // A negative amount may reach one further than a positive one.
  const uint64_t limit =
      static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (negative ? 1 : 0);
  uint64_t magnitude = 0;
  auto add_digit = [&](char c) {
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (magnitude > (limit - digit) / 10) {
      FailJob(kErrOverflow, where() + ": the amount " + std::string(text) + " is out of range");
    }
    magnitude = magnitude * 10 + digit;
  };
  for (size_t k = int_start; k < int_end; ++k) add_digit(text[k]);
  for (size_t k = 0; k < 4; ++k) add_digit(frac_start + k < frac_end ? text[frac_start + k] : '0');
  return Currency::FromRaw(negative ? static_cast<int64_t>(0 - magnitude)
                                    : static_cast<int64_t>(magnitude));
}

Date ParseDateText(std::string_view text, const WhereFn& where) {
  if (text.empty()) return Date();
  constexpr std::string_view kExpected = "a date YYYY-MM-DD";
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') WrongForm(where, kExpected, text);
  int parts[3] = {0, 0, 0};
  const size_t starts[3] = {0, 5, 8};
  const size_t lengths[3] = {4, 2, 2};
  for (int p = 0; p < 3; ++p) {
    for (size_t k = starts[p]; k < starts[p] + lengths[p]; ++k) {
      if (!IsDigit(text[k])) WrongForm(where, kExpected, text);
      parts[p] = parts[p] * 10 + (text[k] - '0');
    }
  }
  try {
    return Date::FromCivil(parts[0], parts[1], parts[2]);
  } catch (const ComError&) {
    WrongForm(where, "a date of the calendar", text);
  }
}

Currency ParseAmountText(std::string_view text, std::string_view where) {
  return ParseAmountText(text, WhereFn([where] { return std::string(where); }));
}

Date ParseDateText(std::string_view text, std::string_view where) {
  return ParseDateText(text, WhereFn([where] { return std::string(where); }));
}

}  // namespace norv::jobs
