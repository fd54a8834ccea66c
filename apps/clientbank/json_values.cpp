#include "json_values.h"

#include <fstream>
#include <limits>
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

namespace {

[[noreturn]] void WrongKind(const std::string& where, const std::string& expected) {
  Fail(norv::kErrTypeMismatch, where + ": expected " + expected);
}

}  // namespace

Currency ReadAmount(const Json& value, const std::string& where) {
  if (value.is_null()) return Currency();
  if (value.is_string()) return norv::jobs::ParseAmountText(value.get<std::string>(), where);
  if (value.is_number_integer()) {
    // Through the text, so that values beyond a double's precision stay exact.
    return norv::jobs::ParseAmountText(value.dump(), where);
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

Date ReadDate(const Json& value, const std::string& where) {
  if (value.is_null()) return Date();
  if (!value.is_string()) WrongKind(where, "a date string YYYY-MM-DD");
  return norv::jobs::ParseDateText(value.get<std::string>(), where);
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
