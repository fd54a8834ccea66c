#include "hostkit/line_converters.h"

#include "hostkit/cp775.h"
#include "hostkit/host_error.h"
#include "runtime/codepage.h"
#include "runtime/text.h"

namespace norv::hostkit {

namespace {

constexpr char16_t kSource[] = u"DefaultHost.LineConverter";

void CheckMode(int32_t mode) {
  if (mode != host::kConvertFromBank && mode != host::kConvertToBank) {
    RaiseHostError(kErrInvalidCall, kSource, u"unknown conversion mode " + IntToText(mode));
  }
}

class IdentityConverter : public host::LineConverter {
 public:
  std::u16string Convert(const std::u16string& text, int32_t mode) override {
    CheckMode(mode);
    return text;
  }
};

class DosBalticConverter : public host::LineConverter {
 public:
  std::u16string Convert(const std::u16string& text, int32_t mode) override {
    CheckMode(mode);
    if (mode == host::kConvertToBank) return cp1257::Decode(cp775::Encode(text));
    return cp775::Decode(cp1257::Encode(text));
  }
};

}  // namespace

std::unique_ptr<host::LineConverter> MakeLineConverter(int32_t code_page) {
  switch (code_page) {
    case kCodePageWindowsBaltic:
      return std::make_unique<IdentityConverter>();
    case kCodePageDosBaltic:
      return std::make_unique<DosBalticConverter>();
    default:
      RaiseHostError(
          kErrInvalidCall, kSource,
          u"no line converter for code page " + IntToText(code_page) + u" (1257 or 775)");
  }
}

}  // namespace norv::hostkit
