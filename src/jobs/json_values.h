// The text forms of values in the program's JSON files: amounts with exactly
// four decimals and a point ("3.4528"), dates "YYYY-MM-DD" ("" for the empty
// date). Parsing is strict and raises error 13 naming `where`.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "runtime/currency.h"
#include "runtime/date.h"

namespace norv::jobs {

std::string AmountText(Currency amount);
std::string DateText(Date date);

// "-123.4567": an optional minus, digits, optionally a point and up to four
// decimals; 6 when it does not fit a Currency.
Currency ParseAmountText(std::string_view text, std::string_view where);
// "YYYY-MM-DD", or "" for the empty date.
Date ParseDateText(std::string_view text, std::string_view where);

// The same, for readers of many values: `where` is only asked when the text fails.
using WhereFn = std::function<std::string()>;
Currency ParseAmountText(std::string_view text, const WhereFn& where);
Date ParseDateText(std::string_view text, const WhereFn& where);

}  // namespace norv::jobs
