// Console services of the default host for batch runs: messages go to the
// output stream (error notices, kind 4, to the error stream), pending errors and
// error-context reports to the error stream, each as one line
//   error NUMBER: SOURCE: DESCRIPTION
// with the line breaks of the description shown as " / ". An error without a
// source is shown with the component's name, as the platform fills it in.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "host/error_context.h"
#include "host/message_window.h"
#include "host/utility_service.h"
#include "host/wait_indicator.h"
#include "runtime/com_error.h"

namespace norv::hostkit {

// The streams and the count of failures reported through them.
class Console {
 public:
  Console(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  void Message(const std::u16string& text, int32_t kind);
  void PendingError(const ComError& error);
  void ContextReport(const std::u16string& text);

  // Errors shown through PendingError and ContextReport since the start.
  int ErrorsReported() const { return errors_reported_; }
  std::ostream& out() { return out_; }
  std::ostream& err() { return err_; }

 private:
  std::ostream& out_;
  std::ostream& err_;
  int errors_reported_ = 0;
};

// `text` on one line: every CR LF, CR or LF becomes " / ".
std::u16string OneLine(const std::u16string& text);
// The console line of an error, without the line end.
std::string ErrorLine(const ComError& error);

class ConsoleMessageWindow : public host::MessageWindow {
 public:
  explicit ConsoleMessageWindow(std::shared_ptr<Console> console) : console_(std::move(console)) {}
  // Shows `text` and answers 1, the first button.
  int32_t ShowMessage(const std::u16string& text, const std::u16string& title,
                      const std::u16string& button1, const std::u16string& button2,
                      const std::u16string& button3, const std::u16string& button4,
                      int32_t default_button, uint8_t flags, int32_t kind,
                      const std::u16string& extra1, const std::u16string& extra2,
                      const std::u16string& extra3, int32_t help_id) override;

 private:
  std::shared_ptr<Console> console_;
};

class ConsoleErrorContext : public host::ErrorContext {
 public:
  explicit ConsoleErrorContext(std::shared_ptr<Console> console) : console_(std::move(console)) {}
  void BeginContext(const std::u16string&, const std::u16string&) override {}
  std::u16string ContextText() override { return text_; }
  void SetContextText(const std::u16string& text) override { text_ = text; }
  void Finish() override { console_->ContextReport(text_); }

 private:
  std::shared_ptr<Console> console_;
  std::u16string text_;
};

// A batch run has no cursor to turn busy.
class NoWaitIndicator : public host::WaitIndicator {};

// RoundMoney rounds to `digits` decimals (0 to 4), ties to even; other digit
// counts raise 5.
class HalfEvenUtility : public host::UtilityService {
 public:
  Currency RoundMoney(Currency value, int32_t digits) override;
};

}  // namespace norv::hostkit
