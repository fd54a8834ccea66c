#include "rates/define_module.h"

#include "runtime/com_error.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv {

namespace {

// One character at a 1-based position; a position before the text is an
// invalid call, as it is for the platform's Mid.
std::u16string CharAt(const std::u16string& text, long long position) {
  if (position < 1) RaiseRuntime(kErrInvalidCall);
  return Mid(text, static_cast<size_t>(position), 1);
}

}  // namespace

std::u16string GetDecimalSeparator() {
  return GetTextBetween(RegionalSettings::Current().FormatCurrency(1.2), u"1", u"2");
}

std::u16string GetTextBetween(const std::u16string& Text, const std::u16string& Before,
                              const std::u16string& After) {
  const long long start =
      static_cast<long long>(InStr(Text, Before)) + static_cast<long long>(Before.size());
  const long long end = static_cast<long long>(InStr(Text, After)) - 1;
  if (start == end) return CharAt(Text, start);
  return CharAt(Text, start) + CharAt(Text, end);
}

}  // namespace norv
