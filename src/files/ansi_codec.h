// The ANSI code page of CFile (Windows-1257) at file speed: the same mapping as
// runtime/codepage.h, through tables built once from it, writing into buffers
// that the caller reuses line after line.
#pragma once

#include <string>
#include <string_view>

namespace norv::ansi {

// Appends the bytes of `text` to `out`; a character without a byte becomes "?".
void EncodeAppend(std::u16string_view text, std::string& out);
// Replaces the contents of `out` with the characters of `bytes`.
void DecodeInto(std::string_view bytes, std::u16string& out);

}  // namespace norv::ansi
