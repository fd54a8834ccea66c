// The host's line converters. The component writes bank files in Windows-1257
// and reads them back through it; a converter sits between the component's text
// and that code page:
//   - identity (code page 1257, the default): the text goes to the file as it is;
//   - Baltic DOS (code page 775): mode 1 turns each character into its code page
//     775 byte and hands back the character that Windows-1257 writes as that same
//     byte, so the bytes on disk are code page 775; mode 0 undoes it: the line as
//     read through Windows-1257 gives back its bytes, which are decoded as 775.
// Characters that code page 775 lacks are written as "?".
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/line_converter.h"

namespace norv::hostkit {

inline constexpr int32_t kCodePageWindowsBaltic = 1257;
inline constexpr int32_t kCodePageDosBaltic = 775;

// A converter for `code_page` (1257 or 775); another number raises 5.
std::unique_ptr<host::LineConverter> MakeLineConverter(int32_t code_page);

}  // namespace norv::hostkit
