// ComError: the one error type that reaches the host. It carries what the host
// sees of a failure: a number, a source and a description.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "export.h"

namespace norv {

// Classic runtime error numbers, used for platform failures.
enum RuntimeError : int32_t {
  kErrInvalidCall = 5,      // Invalid procedure call or argument
  kErrOverflow = 6,         // Overflow
  kErrDivisionByZero = 11,  // Division by zero
  kErrTypeMismatch = 13,    // Type mismatch
  kErrBadFileNameOrNumber = 52,
  kErrFileNotFound = 53,
  kErrFileAlreadyOpen = 55,
  kErrDeviceIo = 57,
  kErrDiskFull = 61,
  kErrTooManyFiles = 67,
  kErrPermissionDenied = 70,
  kErrPathFileAccess = 75,
  kErrPathNotFound = 76,
  kErrObjectNotSet = 91,
};

// Start of the range for errors of an object's own (0x80040000).
inline constexpr int32_t kObjectErrorBase = static_cast<int32_t>(0x80040000u);

// The usual description of a runtime error number ("Overflow", "File not found", ...);
// empty for numbers that are not runtime errors.
NORV_EXPORT std::u16string RuntimeErrorDescription(int32_t number);

// The source given to platform failures when nobody sets another one.
inline constexpr char16_t kDefaultErrorSource[] = u"Norv_RazizeRuveRO_DOS";

class NORV_EXPORT ComError : public std::runtime_error {
 public:
  // An empty description stays empty (the component fills the usual runtime
  // text itself where it wants one: RaiseRuntime).
  ComError(int32_t number, std::u16string source, std::u16string description);

  int32_t number() const { return number_; }
  const std::u16string& source() const { return source_; }
  const std::u16string& description() const { return description_; }

  // Dialog handlers re-number or re-source a trapped error before reporting it.
  void set_number(int32_t number);
  void set_source(std::u16string source);
  void set_description(std::u16string description);

  // "number: source: description" in UTF-8, kept in step with the setters.
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  void RefreshWhat();

  int32_t number_;
  std::u16string source_;
  std::u16string description_;
  std::string what_;
};

// Raises a runtime error with its usual description and the default source;
// `detail`, when given, is appended to the description after ": ".
[[noreturn]] NORV_EXPORT void RaiseRuntime(int32_t number, const std::u16string& detail = u"");

}  // namespace norv
