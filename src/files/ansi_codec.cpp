#include "files/ansi_codec.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/codepage.h"

namespace norv::ansi {
namespace {

struct Tables {
  std::array<char16_t, 256> decode{};
  bool decode_is_bytewise = true;
  bool ascii_is_identity = true;
  // Byte of each character, -1 for characters that take the slow path.
  std::vector<int16_t> encode = std::vector<int16_t>(0x10000, -1);

  Tables() {
    for (int byte = 0; byte < 256; ++byte) {
      const std::u16string chars = cp1257::Decode(std::string(1, static_cast<char>(byte)));
      if (chars.size() != 1) {
        decode_is_bytewise = false;
        continue;
      }
      decode[byte] = chars[0];
      if (byte < 0x80 && chars[0] != byte) ascii_is_identity = false;
      // Only round trips go into the fast table, so it can never disagree with
      // the code page's own encoder.
      if (cp1257::Encode(chars) == std::string(1, static_cast<char>(byte))) {
        encode[chars[0]] = static_cast<int16_t>(byte);
      }
    }
  }
};

const Tables& TheTables() {
  static const Tables tables;
  return tables;
}

}  // namespace

void EncodeAppend(std::u16string_view text, std::string& out) {
  const Tables& tables = TheTables();
  const size_t start = out.size();
  out.resize(start + text.size());
  char* dest = out.data() + start;
  const char16_t* src = text.data();
  const size_t size = text.size();
  size_t i = 0;
  // Most of a bank line is ASCII, which maps to itself: eight characters at a
  // time are tested for a bit above 0x7F and narrowed directly.
  if (tables.ascii_is_identity) {
    for (; i + 8 <= size; i += 8) {
      uint64_t low, high;
      std::memcpy(&low, src + i, 8);
      std::memcpy(&high, src + i + 4, 8);
      if (((low | high) & 0xFF80FF80FF80FF80ull) != 0) break;
      for (size_t k = 0; k < 8; ++k) dest[i + k] = static_cast<char>(src[i + k]);
    }
  }
  for (; i < size; ++i) {
    const int16_t byte = tables.encode[src[i]];
    if (byte < 0) {
      // Rare: a character outside the code page (or half of a surrogate pair).
      out.resize(start);
      out += cp1257::Encode(text);
      return;
    }
    dest[i] = static_cast<char>(byte);
  }
}

void DecodeInto(std::string_view bytes, std::u16string& out) {
  const Tables& tables = TheTables();
  if (!tables.decode_is_bytewise) {
    out = cp1257::Decode(bytes);
    return;
  }
  out.resize(bytes.size());
  char16_t* dest = out.data();
  const unsigned char* src = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t size = bytes.size();
  // Most bank lines are plain ASCII, which maps to itself: eight bytes at a time
  // are tested for a high bit and widened directly.
  size_t i = 0;
  if (tables.ascii_is_identity) {
    for (; i + 8 <= size; i += 8) {
      uint64_t word;
      std::memcpy(&word, src + i, 8);
      if ((word & 0x8080808080808080ull) != 0) {
        for (size_t j = i; j < i + 8; ++j) dest[j] = tables.decode[src[j]];
        continue;
      }
      dest[i] = src[i];
      dest[i + 1] = src[i + 1];
      dest[i + 2] = src[i + 2];
      dest[i + 3] = src[i + 3];
      dest[i + 4] = src[i + 4];
      dest[i + 5] = src[i + 5];
      dest[i + 6] = src[i + 6];
      dest[i + 7] = src[i + 7];
    }
  }
  for (; i < size; ++i) dest[i] = tables.decode[src[i]];
}

}  // namespace norv::ansi
