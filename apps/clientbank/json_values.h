// The values of the program's JSON book records, read from a parsed JSON tree:
// amounts as strings with up to four decimals and a point ("3.4528") or numbers,
// dates as "YYYY-MM-DD" ("" for the empty date), texts as strings, integers as
// numbers (the text forms are jobs/json_values.h). Reading is strict: a value of
// the wrong kind raises error 13 with a description that names where it was
// found (`where`, for example `record 2, key "Rate"`).
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "jobs/json_values.h"
#include "runtime/currency.h"
#include "runtime/date.h"

namespace clientbank {

using Json = nlohmann::ordered_json;
using norv::jobs::AmountText;
using norv::jobs::DateText;

// A string "-123.4567" (up to four decimals) or a JSON number.
norv::Currency ReadAmount(const Json& value, const std::string& where);
// "YYYY-MM-DD", or "" for the empty date.
norv::Date ReadDate(const Json& value, const std::string& where);
std::u16string ReadText(const Json& value, const std::string& where);
int64_t ReadInteger(const Json& value, int64_t min, int64_t max, const std::string& where);
bool ReadBool(const Json& value, const std::string& where);

// The JSON array held in `path`: 53 when it is missing, 5 when it is no JSON
// array (the parser's reason in the description).
Json ReadJsonArray(const std::string& path);

// Raises a ComError from the program (source "clientbank").
[[noreturn]] void Fail(int32_t number, const std::string& detail);

}  // namespace clientbank
