#include "json_values.h"

#include <cstdio>
#include <fstream>
#include <limits>
#include <regex>
#include <sstream>

#include "runtime/com_error.h"
#include "runtime/text.h"

namespace clientbank {

using norv::ComError;
using norv::Currency;
using norv::Date;

void Fail(int32_t number, const std::string& detail) {
  std::u16string description = norv::RuntimeErrorDescription(number);
  if (!description.empty()) description += u": ";
  throw ComError(number, u"clientbank", description + norv::Utf8ToU16(detail));
}

std::string AmountText(Currency amount) {
  int64_t raw = amount.raw();
  uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  char fraction[8];
  std::snprintf(fraction, sizeof fraction, "%04u", static_cast<unsigned>(magnitude % 10000));
  return (raw < 0 ? "-" : "") + std::to_string(magnitude / 10000) + "." + fraction;
}

std::string DateText(Date date) {
  if (date.IsEmpty()) return "";
  norv::CivilDateTime civil =
      Date(static_cast<double>(static_cast<int64_t>(date.serial()))).ToCivil();
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", civil.year, civil.month, civil.day);
  return text;
}

namespace {

[[noreturn]] void WrongKind(const std::string& where, const std::string& expected) {
  Fail(norv::kErrTypeMismatch, where + ": expected " + expected);
}

// Exact decimal text to the amount's integer, without going through a double.
Currency ParseAmountText(const std::string& text, const std::string& where) {
  static const std::regex form(R"(^(-?)(\d+)(?:\.(\d{1,4}))?$)");
  std::smatch match;
  if (!std::regex_match(text, match, form)) {
    WrongKind(where,
              "an amount such as \"1234.50\" (a point, at most 4 decimals), not \"" + text + "\"");
  }
  std::string fraction = match[3].str();
  fraction.resize(4, '0');
  const std::string digits = match[2].str() + fraction;
  const bool negative = match[1].str() == "-";
  // A negative amount may reach one further than a positive one.
  const uint64_t limit =
      static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (negative ? 1 : 0);
  uint64_t magnitude = 0;
  for (char c : digits) {
    uint64_t digit = static_cast<uint64_t>(c - '0');
    if (magnitude > (limit - digit) / 10) {
      Fail(norv::kErrOverflow, where + ": the amount " + text + " is out of range");
    }
    magnitude = magnitude * 10 + digit;
  }
  return Currency::FromRaw(negative ? static_cast<int64_t>(0 - magnitude)
                                    : static_cast<int64_t>(magnitude));
}

}  // namespace

Currency ReadAmount(const Json& value, const std::string& where) {
  if (value.is_null()) return Currency();
  if (value.is_string()) return ParseAmountText(value.get<std::string>(), where);
  if (value.is_number_integer()) {
    // Through the text, so that values beyond a double's precision stay exact.
    return ParseAmountText(value.dump(), where);
  }
  if (value.is_number_float()) {
    try {
      return Currency::FromDouble(value.get<double>());
    } catch (const ComError&) {
      Fail(norv::kErrOverflow, where + ": the amount " + value.dump() + " is out of range");
    }
  }
  WrongKind(where, "an amount (a string such as \"1234.50\" or a number)");
}

Date ParseDateText(const std::string& text, const std::string& where) {
  static const std::regex form(R"(^(\d{4})-(\d{2})-(\d{2})$)");
  std::smatch match;
  if (!std::regex_match(text, match, form)) {
    WrongKind(where, "a date YYYY-MM-DD, not \"" + text + "\"");
  }
  try {
    return Date::FromCivil(std::stoi(match[1]), std::stoi(match[2]), std::stoi(match[3]));
  } catch (const ComError&) {
    WrongKind(where, "a date of the calendar, not \"" + text + "\"");
  }
}

Date ReadDate(const Json& value, const std::string& where) {
  if (value.is_null()) return Date();
  if (!value.is_string()) WrongKind(where, "a date string YYYY-MM-DD");
  std::string text = value.get<std::string>();
  if (text.empty()) return Date();
  return ParseDateText(text, where);
}

std::u16string ReadText(const Json& value, const std::string& where) {
  if (value.is_null()) return u"";
  if (!value.is_string()) WrongKind(where, "a string");
  return norv::Utf8ToU16(value.get<std::string>());
}

int64_t ReadInteger(const Json& value, int64_t min, int64_t max, const std::string& where) {
  if (value.is_null()) return 0;
  if (value.is_number_unsigned()) {
    uint64_t number = value.get<uint64_t>();
    if (number <= static_cast<uint64_t>(max)) return static_cast<int64_t>(number);
  } else if (value.is_number_integer()) {
    int64_t number = value.get<int64_t>();
    if (number >= min && number <= max) return number;
  } else {
    WrongKind(where, "an integer");
  }
  Fail(norv::kErrOverflow, where + ": " + value.dump() + " is out of range (" +
                               std::to_string(min) + " to " + std::to_string(max) + ")");
}

bool ReadBool(const Json& value, const std::string& where) {
  if (value.is_null()) return false;
  if (!value.is_boolean()) WrongKind(where, "true or false");
  return value.get<bool>();
}

Json ReadJsonArray(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail(norv::kErrFileNotFound, "'" + path + "'");
  std::stringstream text;
  text << in.rdbuf();
  Json parsed;
  try {
    parsed = Json::parse(text.str());
  } catch (const Json::parse_error& error) {
    Fail(norv::kErrInvalidCall, "'" + path + "' is not valid JSON: " + error.what());
  }
  if (!parsed.is_array()) Fail(norv::kErrInvalidCall, "'" + path + "' does not hold a JSON array");
  return parsed;
}

}  // namespace clientbank
