// The driver the fuzz targets share: each target defines FuzzOne, the promises
// it checks for one input, over a reader that turns the fuzzer's bytes into
// values; a folder holds the files of a run; the checks end a run as a crash
// when the component breaks a promise.
//
// A target may only end an input in two ways: normally, or through a ComError
// whose number is one that the input can legitimately cause. Anything else (an
// unexpected number, another exception, a broken invariant) aborts, which
// libFuzzer and the replay program both report as a failure.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "runtime/com_error.h"
#include "runtime/regional.h"
#include "runtime/text.h"
#include "support/recording_host.h"

namespace norv::fuzz {

// Reads values off the front of the input; past its end every value is zero
// or empty, so any input is a valid one.
struct FuzzInput {
  const uint8_t* data;
  size_t size;

  uint8_t Byte() { return size == 0 ? 0 : (--size, *data++); }
  template <typename T>
  T Integer() {  // little-endian
    uint64_t value = 0;
    for (size_t i = 0; i < sizeof(T); ++i) value |= uint64_t{Byte()} << (8 * i);
    return static_cast<T>(value);
  }
  // Up to `len` characters (by default the rest of the input). Most come from a
  // small alphabet of the ones that matter to the formats (quotes, blanks,
  // commas, tabs, digits, separators, Lithuanian letters); a byte from 0xC0 is
  // that Latin-1 or C1 character, and 0xFF takes the next two bytes as any
  // UTF-16 code unit.
  std::u16string Characters(size_t len = SIZE_MAX) {
    static constexpr std::u16string_view kAlphabet =
        u"0123456789 ,.\"\t-+Ee/:AaZzĄąČčĘęĖėĮįŠšŲųŪūŽž\u00A0;'()$?GALSB";
    std::u16string text;
    while (text.size() < len && size > 0) {
      const uint8_t b = Byte();
      text += b == 0xFF   ? static_cast<char16_t>(Integer<uint16_t>())
              : b >= 0xC0 ? static_cast<char16_t>(b)
                          : kAlphabet[b % kAlphabet.size()];
    }
    return text;
  }
  // A length (one byte) and that many characters.
  std::u16string Text() { return Characters(Byte()); }
  std::string Rest() {
    return std::string(reinterpret_cast<const char*>(data), std::exchange(size, 0));
  }
};

[[noreturn]] inline void Broken(const std::string& what) {
  std::fprintf(stderr, "fuzz: broken promise: %s\n", what.c_str());
  std::abort();
}

inline void Require(bool condition, const char* what) {
  if (!condition) Broken(what);
}

// Runs `f`: nothing when it returns, the error when it raises one whose number
// is in `allowed`; any other error breaks the promise.
template <typename F>
std::optional<ComError> ErrorOf(F f, std::initializer_list<int32_t> allowed) {
  try {
    f();
    return std::nullopt;
  } catch (const ComError& error) {
    for (int32_t number : allowed) {
      if (error.number() == number) return error;
    }
    Broken(std::string("unexpected error ") + error.what());
  }
}

// The folder of the process's files, on disk, removed when the process ends.
inline const testing::TempFolder& Folder() {
  static const testing::TempFolder folder;
  return folder;
}

// Writes `bytes` as the file `name` of the folder and gives its path.
inline std::u16string InputFile(const std::string& name, const std::string& bytes) {
  Folder().WriteBytes(name, bytes);
  return Utf8ToU16(Folder().File(name));
}

// The four presets, chosen by a byte.
inline RegionalSettings PresetOf(uint8_t choice) {
  static constexpr const char16_t* kPresets[] = {u"lt-LT", u"lt-LT-2010", u"en-US", u"invariant"};
  return RegionalSettings::Preset(kPresets[choice % 4]);
}

}  // namespace norv::fuzz

// What a target checks for one input.
void FuzzOne(norv::fuzz::FuzzInput& in);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  norv::fuzz::FuzzInput in{data, size};
  FuzzOne(in);
  norv::RegionalSettings::SetCurrent(norv::RegionalSettings::LtLT());
  return 0;
}
