// Code page 775 (Baltic DOS), the character form that older bank programs read
// and write. Bytes 0x00-0x7F are ASCII.
#pragma once

#include <string>
#include <string_view>

namespace norv::hostkit::cp775 {

// Characters the code page lacks become "?".
std::string Encode(std::u16string_view text);
std::u16string Decode(std::string_view bytes);

}  // namespace norv::hostkit::cp775
