#include "hostkit/console_services.h"

#include <cstdint>

#include "host/message_window.h"
#include "hostkit/host_error.h"
#include "runtime/text.h"

namespace norv::hostkit {

namespace {

// A message keeps its line breaks on the console, as plain line feeds.
std::string ConsoleText(const std::u16string& text) {
  std::u16string lines;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r') {
      lines.push_back(u'\n');
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else {
      lines.push_back(text[i]);
    }
  }
  return U16ToUtf8(lines);
}

}  // namespace

std::u16string OneLine(const std::u16string& text) {
  std::u16string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' || text[i] == u'\n') {
      line += u" / ";
      if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else {
      line.push_back(text[i]);
    }
  }
  return line;
}

std::string ErrorLine(const ComError& error) {
  std::u16string source = error.source().empty() ? kDefaultErrorSource : error.source();
  return "error " + std::to_string(error.number()) + ": " + U16ToUtf8(OneLine(source)) + ": " +
         U16ToUtf8(OneLine(error.description()));
}

void Console::Message(const std::u16string& text, int32_t kind) {
  std::ostream& stream = kind == host::kMessageError ? err_ : out_;
  stream << ConsoleText(text) << '\n';
  stream.flush();
}

void Console::PendingError(const ComError& error) {
  ++errors_reported_;
  err_ << ErrorLine(error) << '\n';
  err_.flush();
}

void Console::ContextReport(const std::u16string& text) {
  ++errors_reported_;
  err_ << "error: " << U16ToUtf8(OneLine(text)) << '\n';
  err_.flush();
}

int32_t ConsoleMessageWindow::ShowMessage(const std::u16string& text, const std::u16string&,
                                          const std::u16string&, const std::u16string&,
                                          const std::u16string&, const std::u16string&, int32_t,
                                          uint8_t, int32_t kind, const std::u16string&,
                                          const std::u16string&, const std::u16string&, int32_t) {
  console_->Message(text, kind);
  return 1;
}

Currency HalfEvenUtility::RoundMoney(Currency value, int32_t digits) {
  if (digits < 0 || digits > 4) {
    RaiseHostError(kErrInvalidCall, u"DefaultHost.UtilityService",
                   u"RoundMoney rounds to 0 to 4 decimals, not " + IntToText(digits));
  }
  int64_t step = 1;
  for (int32_t i = digits; i < 4; ++i) step *= 10;
  int64_t raw = value.raw();
  int64_t quotient = raw / step;
  int64_t remainder = raw % step;  // same sign as raw
  int64_t twice = remainder < 0 ? -2 * remainder : 2 * remainder;
  if (twice > step || (twice == step && quotient % 2 != 0)) quotient += raw < 0 ? -1 : 1;
  if (quotient > INT64_MAX / step || quotient < INT64_MIN / step) RaiseRuntime(kErrOverflow);
  return Currency::FromRaw(quotient * step);
}

}  // namespace norv::hostkit
