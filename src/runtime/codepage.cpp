#include "runtime/codepage.h"

#include <array>
#include <cstdint>

namespace norv::cp1257 {
namespace {

// Bytes 0x80..0xFF. The code page leaves 0x81, 0x83, 0x88, 0x8A, 0x8C, 0x90,
// 0x98, 0x9A, 0x9C, 0x9F, 0xA1 and 0xA5 undefined; they map to the character of
// the same number so that decoding and encoding give every byte back.
constexpr char16_t kHighHalf[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x0088, 0x2030, 0x008A, 0x2039, 0x008C, 0x00A8, 0x02C7, 0x00B8,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0098, 0x2122, 0x009A, 0x203A, 0x009C, 0x00AF, 0x02DB, 0x009F,  // 0x98
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // 0xA0
    0x00D8, 0x00A9, 0x0156, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00C6,  // 0xA8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00F8, 0x00B9, 0x0157, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00E6,  // 0xB8
    0x0104, 0x012E, 0x0100, 0x0106, 0x00C4, 0x00C5, 0x0118, 0x0112,  // 0xC0
    0x010C, 0x00C9, 0x0179, 0x0116, 0x0122, 0x0136, 0x012A, 0x013B,  // 0xC8
    0x0160, 0x0143, 0x0145, 0x00D3, 0x014C, 0x00D5, 0x00D6, 0x00D7,  // 0xD0
    0x0172, 0x0141, 0x015A, 0x016A, 0x00DC, 0x017B, 0x017D, 0x00DF,  // 0xD8
    0x0105, 0x012F, 0x0101, 0x0107, 0x00E4, 0x00E5, 0x0119, 0x0113,  // 0xE0
    0x010D, 0x00E9, 0x017A, 0x0117, 0x0123, 0x0137, 0x012B, 0x013C,  // 0xE8
    0x0161, 0x0144, 0x0146, 0x00F3, 0x014D, 0x00F5, 0x00F6, 0x00F7,  // 0xF0
    0x0173, 0x0142, 0x015B, 0x016B, 0x00FC, 0x017C, 0x017E, 0x02D9,  // 0xF8
};

// Characters to bytes for U+0000..U+FFFF; 0 marks a character the code page
// lacks (U+0000 itself is handled before the lookup). Built once, 64 KiB.
const std::array<uint8_t, 0x10000>& EncodeTable() {
  static const std::array<uint8_t, 0x10000> table = [] {
    std::array<uint8_t, 0x10000> t{};
    for (unsigned byte = 1; byte < 0x80; ++byte) t[byte] = static_cast<uint8_t>(byte);
    for (unsigned k = 0; k < 128; ++k) t[kHighHalf[k]] = static_cast<uint8_t>(0x80 + k);
    return t;
  }();
  return table;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::string Encode(std::u16string_view text) {
  const std::array<uint8_t, 0x10000>& table = EncodeTable();
  std::string out(text.size(), '\0');
  char* dst = out.data();
  const char16_t* src = text.data();
  const char16_t* const end = src + text.size();
  for (; src != end; ++src) {
    const char16_t c = *src;
    if (c < 0x80) {
      *dst++ = static_cast<char>(c);
    } else if (const uint8_t mapped = table[c]; mapped != 0) {
      *dst++ = static_cast<char>(mapped);
    } else {
      // A character outside the plane is one character: one "?" for the pair.
      if (IsHighSurrogate(c) && src + 1 != end && IsLowSurrogate(src[1])) ++src;
      *dst++ = '?';
    }
  }
  out.resize(static_cast<size_t>(dst - out.data()));
  return out;
}

std::u16string Decode(std::string_view bytes) {
  static constexpr std::array<char16_t, 256> kDecode = [] {
    std::array<char16_t, 256> t{};
    for (unsigned byte = 0; byte < 0x80; ++byte) t[byte] = static_cast<char16_t>(byte);
    for (unsigned k = 0; k < 128; ++k) t[0x80 + k] = kHighHalf[k];
    return t;
  }();
  std::u16string out(bytes.size(), u'\0');
  char16_t* dst = out.data();
  for (const char byte : bytes) *dst++ = kDecode[static_cast<unsigned char>(byte)];
  return out;
}

}  // namespace norv::cp1257
