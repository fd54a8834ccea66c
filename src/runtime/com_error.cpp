#include "runtime/com_error.h"

#include <utility>

#include "runtime/text.h"

namespace norv {

std::u16string RuntimeErrorDescription(int32_t number) {
  switch (number) {
    case kErrInvalidCall:
      return u"Invalid procedure call or argument";
    case kErrOverflow:
      return u"Overflow";
    case kErrDivisionByZero:
      return u"Division by zero";
    case kErrTypeMismatch:
      return u"Type mismatch";
    case kErrBadFileNameOrNumber:
      return u"Bad file name or number";
    case kErrFileNotFound:
      return u"File not found";
    case kErrFileAlreadyOpen:
      return u"File already open";
    case kErrDeviceIo:
      return u"Device I/O error";
    case kErrDiskFull:
      return u"Disk full";
    case kErrTooManyFiles:
      return u"Too many files";
    case kErrPermissionDenied:
      return u"Permission denied";
    case kErrPathFileAccess:
      return u"Path/File access error";
    case kErrPathNotFound:
      return u"Path not found";
    case kErrObjectNotSet:
      return u"Object variable or With block variable not set";
    default:
      return u"";
  }
}

ComError::ComError(int32_t number, std::u16string source, std::u16string description)
    : std::runtime_error(std::string()),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {
  RefreshWhat();
}

void ComError::set_number(int32_t number) {
  number_ = number;
  RefreshWhat();
}

void ComError::set_source(std::u16string source) {
  source_ = std::move(source);
  RefreshWhat();
}

void ComError::set_description(std::u16string description) {
  description_ = std::move(description);
  RefreshWhat();
}

void ComError::RefreshWhat() {
  what_ = std::to_string(number_);
  what_ += ": ";
  what_ += U16ToUtf8(source_);
  what_ += ": ";
  what_ += U16ToUtf8(description_);
}

void RaiseRuntime(int32_t number, const std::u16string& detail) {
  std::u16string description = RuntimeErrorDescription(number);
  if (!detail.empty()) {
    if (!description.empty()) description += u": ";
    description += detail;
  }
  throw ComError(number, kDefaultErrorSource, std::move(description));
}

}  // namespace norv
