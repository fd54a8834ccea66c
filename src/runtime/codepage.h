// Windows-1257 (Baltic) codec for ANSI files.
#pragma once

#include <string>
#include <string_view>

#include "export.h"

namespace norv::cp1257 {

// Characters that the code page lacks become "?".
NORV_EXPORT std::string Encode(std::u16string_view text);
// Bytes that the code page leaves undefined map to the C1 control of the same
// number, so that every byte survives a read and a write unchanged.
NORV_EXPORT std::u16string Decode(std::string_view bytes);

}  // namespace norv::cp1257
