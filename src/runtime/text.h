// Text helpers over UTF-16 strings. Positions are 1-based where they mirror the
// platform's string functions (InStr, InStrRev, Mid), 0 meaning "not found".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "export.h"

namespace norv {

NORV_EXPORT std::u16string Utf8ToU16(std::string_view utf8);  // invalid bytes become U+FFFD
NORV_EXPORT std::string U16ToUtf8(std::u16string_view text);  // lone surrogates become U+FFFD

// 1-based position of the last occurrence of `what`, 0 when absent.
NORV_EXPORT size_t InStrRev(std::u16string_view text, std::u16string_view what);
// 1-based position of the first occurrence of `what` from `start` (1-based), 0 when absent.
NORV_EXPORT size_t InStr(std::u16string_view text, std::u16string_view what, size_t start = 1);

// The first / last `count` characters, or the whole text when it is shorter.
NORV_EXPORT std::u16string Left(std::u16string_view text, size_t count);
NORV_EXPORT std::u16string Right(std::u16string_view text, size_t count);
// Characters from 1-based `start`, at most `count` of them; past the end gives "".
NORV_EXPORT std::u16string Mid(std::u16string_view text, size_t start,
                               size_t count = std::u16string::npos);

// Every occurrence of `from` replaced by `to`, scanning left to right (binary compare).
NORV_EXPORT std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from,
                                      std::u16string_view to);

// Blanks (U+0020) trimmed from both ends.
NORV_EXPORT std::u16string TrimBlanks(std::u16string_view text);

// The leading number of a text as the platform's Val reads it: blanks, tabs and
// line feeds anywhere inside are ignored, an optional sign, digits, an optional
// "." and fraction digits, an optional exponent; reading stops at the first other
// character; no digits gives 0.
NORV_EXPORT double LeadingNumber(std::u16string_view text);

// A double in the general number form: no leading zeros, no trailing zeros in the
// fraction, "." replaced by the given decimal separator (up to 15 significant digits).
NORV_EXPORT std::u16string GeneralNumber(double value, char16_t decimal_separator = u'.');

// Decimal text of an integer.
NORV_EXPORT std::u16string IntToText(long long value);

}  // namespace norv
