// Q: the component's UTF-16 text as a QString. Both hold UTF-16 code units, so
// the conversion is a copy, with no decoding that could alter a character.
#pragma once

#include <QString>
#include <string>

namespace norv::qt {

inline QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }

}  // namespace norv::qt
