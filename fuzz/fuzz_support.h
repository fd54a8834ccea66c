// What the fuzz targets share: a reader that turns the fuzzer's bytes into
// values, the in-memory file system installed for the process, and the checks
// that end a run as a crash when the component breaks a promise.
//
// A target may only end an input in two ways: normally, or through a ComError
// whose number is one that the input can legitimately cause. Anything else (an
// unexpected number, another exception, a broken invariant) aborts, which
// libFuzzer and the replay program both report as a failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

#include "memory_file_system.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv::fuzz {

// Reads values off the front of the input; past its end every value is zero
// or empty, so any input is a valid one.
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t remaining() const { return size_; }
  uint8_t Byte() {
    if (size_ == 0) return 0;
    --size_;
    return *data_++;
  }
  template <typename T>
  T Integer() {
    T value{};
    unsigned char bytes[sizeof(T)] = {};
    for (unsigned char& b : bytes) b = Byte();
    std::memcpy(&value, bytes, sizeof(T));
    return value;
  }
  // A length (one byte) and that many characters. Most characters come from a
  // small alphabet of the ones that matter to the formats (quotes, blanks,
  // commas, tabs, digits, separators, Lithuanian letters); a byte 0xFF takes the
  // next two bytes as any UTF-16 code unit.
  std::u16string Text(size_t max_len = 255);
  // The same characters for the whole rest of the input, without a length.
  std::u16string RestAsText() { return Characters(size_); }
  // The rest of the input as bytes.
  std::string_view Rest() {
    std::string_view rest(reinterpret_cast<const char*>(data_), size_);
    data_ += size_;
    size_ = 0;
    return rest;
  }

 private:
  std::u16string Characters(size_t len);

  const uint8_t* data_;
  size_t size_;
};

inline std::u16string FuzzInput::Text(size_t max_len) { return Characters(Byte() % (max_len + 1)); }

inline std::u16string FuzzInput::Characters(size_t len) {
  static constexpr std::u16string_view kAlphabet =
      u"0123456789 ,.\"\t-+Ee/:AaZzĄąČčĘęĖėĮįŠšŲųŪūŽž\u00A0;'()$?GALSB";
  std::u16string text;
  for (size_t i = 0; i < len && size_ > 0; ++i) {
    const uint8_t b = Byte();
    if (b == 0xFF) {
      text += static_cast<char16_t>(Integer<uint16_t>());
    } else if (b >= 0xC0) {
      text += static_cast<char16_t>(b);  // Latin-1 and C1 controls
    } else {
      text += kAlphabet[b % kAlphabet.size()];
    }
  }
  return text;
}

[[noreturn]] inline void Broken(const std::string& what) {
  std::fprintf(stderr, "fuzz: broken promise: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

inline void Require(bool condition, const std::string& what) {
  if (!condition) Broken(what);
}

// Aborts unless the error's number is one of `allowed`.
inline void RequireErrorIn(const ComError& error, std::initializer_list<int32_t> allowed) {
  for (int32_t number : allowed) {
    if (error.number() == number) return;
  }
  Broken(std::string("unexpected error ") + error.what());
}

// The process-wide in-memory file system, installed on first use.
inline MemoryFileSystem& Files() {
  static MemoryFileSystem* files = [] {
    auto* fs = new MemoryFileSystem;
    FileSystem::SetDefaultForTesting(fs);
    return fs;
  }();
  return *files;
}

// The four presets, chosen by a byte.
inline RegionalSettings PresetOf(uint8_t choice) {
  static constexpr const char16_t* kPresets[] = {u"lt-LT", u"lt-LT-2010", u"en-US", u"invariant"};
  return RegionalSettings::Preset(kPresets[choice % 4]);
}

}  // namespace norv::fuzz
