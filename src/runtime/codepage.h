// Windows-1257 (Baltic) codec for ANSI files.
#pragma once

#include <string>
#include <string_view>

namespace norv::cp1257 {

// Characters that the code page lacks become "?".
std::string Encode(std::u16string_view text);
// Bytes that the code page leaves undefined map to the C1 control of the same
// number, so that every byte survives a read and a write unchanged.
std::u16string Decode(std::string_view bytes);

}  // namespace norv::cp1257
