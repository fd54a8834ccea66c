#include "hostkit/host_error.h"

namespace norv::hostkit {

namespace {

std::u16string UsualDescription(int32_t number) {
  switch (number) {
    case kErrLoadingLibrary:
      return u"Error in loading DLL";
    case kErrCannotCreateObject:
      return u"ActiveX component can't create object";
    case kErrNotSupported:
      return u"Object doesn't support this property or method";
    case kErrEntryPointMissing:
      return u"Specified DLL function not found";
    default:
      return RuntimeErrorDescription(number);
  }
}

}  // namespace

std::u16string HostErrorDescription(int32_t number, std::u16string_view detail) {
  std::u16string text = UsualDescription(number);
  if (!detail.empty()) {
    if (!text.empty()) text += u": ";
    text += detail;
  }
  return text;
}

void RaiseHostError(int32_t number, std::u16string source, std::u16string_view detail) {
  throw ComError(number, std::move(source), HostErrorDescription(number, detail));
}

}  // namespace norv::hostkit
