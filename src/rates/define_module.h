// Helpers of the rate reader that depend only on the regional settings.
#pragma once

#include <string>

namespace norv {

// The decimal separator as the currency format shows it: the text between "1"
// and "2" of the money value 1.2 formatted under the thread's regional settings.
std::u16string GetDecimalSeparator();

// The text between the first `Before` and the first `After` in `Text`: one
// character when they are one apart, else the first and the last character of
// the gap. A gap that would start before the text's first character raises
// runtime error 5.
std::u16string GetTextBetween(const std::u16string& Text, const std::u16string& Before,
                              const std::u16string& After);

}  // namespace norv
