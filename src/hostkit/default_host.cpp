#include "hostkit/default_host.h"

#include <string>

#include "hostkit/dialog_form_impl.h"
#include "hostkit/host_error.h"
#include "hostkit/line_converters.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv::hostkit {

namespace {

class DefaultSession : public host::Session {};

class DefaultContext : public host::Context {
 public:
  std::shared_ptr<host::Session> GetSession() override { return session_; }

 private:
  std::shared_ptr<host::Session> session_ = std::make_shared<DefaultSession>();
};

class DefaultStartupObject : public host::StartupObject {};

}  // namespace

// The host application object: the library-wide one and every new one share
// the host's form settings, context and error report.
class DefaultHost::AppObject : public host::HostApp {
 public:
  explicit AppObject(DefaultHost& host) : host_(host) {}
  void ShowPendingError(const ComError& error) override { host_.ShowPendingError(error); }
  host::FormSettings& GetFormSettings() override { return host_.form_settings_; }
  std::shared_ptr<host::Context> GetContext() override { return host_.context_; }

 private:
  DefaultHost& host_;
};

// The forms driver the component sees: the installed one (or the scripted
// one), followed by the show-end observer.
class DefaultHost::ObservedForms : public forms::FormsDriver {
 public:
  explicit ObservedForms(DefaultHost& host) : host_(host) {}
  void RunModal(forms::Form& form) override {
    Target().RunModal(form);
    if (host_.show_end_observer_) host_.show_end_observer_(form);
  }
  void EndModal(forms::Form& form) override { Target().EndModal(form); }

 private:
  forms::FormsDriver& Target() {
    return host_.forms_ ? *host_.forms_ : static_cast<forms::FormsDriver&>(host_.driver_);
  }
  DefaultHost& host_;
};

DefaultHost::DefaultHost(const Options& options)
    : db_(Database::Open(options.database_path, Database::Options{options.busy_timeout_ms})),
      console_(std::make_shared<Console>(*options.out, *options.err)),
      books_(db_),
      form_settings_(db_),
      app_(std::make_unique<AppObject>(*this)),
      context_(std::make_shared<DefaultContext>()),
      observed_forms_(std::make_unique<ObservedForms>(*this)) {}

DefaultHost::~DefaultHost() = default;

host::HostApp& DefaultHost::App() { return *app_; }

std::unique_ptr<host::MessageWindow> DefaultHost::CreateMessageWindow() {
  if (message_windows_) return message_windows_();
  return std::make_unique<ConsoleMessageWindow>(console_);
}

std::unique_ptr<host::WaitIndicator> DefaultHost::CreateWaitIndicator() {
  if (wait_indicators_) return wait_indicators_();
  return std::make_unique<NoWaitIndicator>();
}

std::unique_ptr<host::LineConverter> DefaultHost::CreateLineConverter() {
  return MakeLineConverter(CodePage());
}

std::unique_ptr<host::ErrorContext> DefaultHost::CreateErrorContext() {
  return std::make_unique<ConsoleErrorContext>(console_);
}

std::unique_ptr<host::DialogForm> DefaultHost::CreateDialogForm() {
  return std::make_unique<DialogFormImpl>(*this);
}

std::unique_ptr<host::HostApp> DefaultHost::CreateHostApp() {
  return std::make_unique<AppObject>(*this);
}

std::unique_ptr<host::StartupObject> DefaultHost::CreateStartupObject() {
  return std::make_unique<DefaultStartupObject>();
}

host::FolderBrowser& DefaultHost::Folders() {
  return folder_browser_ ? *folder_browser_ : static_cast<host::FolderBrowser&>(folders_);
}

host::FileOpenDialog& DefaultHost::FileDialog() {
  return file_dialog_ ? *file_dialog_ : static_cast<host::FileOpenDialog&>(files_);
}

forms::FormsDriver& DefaultHost::Forms() { return *observed_forms_; }

void DefaultHost::ShowPendingError(const ComError& error) {
  console_->PendingError(error);
  if (pending_error_handler_) pending_error_handler_(error);
}

std::string DefaultHost::RegionalPreset() { return db_->Setting(kSettingRegional, "lt-LT"); }

void DefaultHost::SetRegionalPreset(const std::string& name) {
  RegionalSettings::Preset(Utf8ToU16(name));  // raises 5 for a name it does not know
  db_->SetSetting(kSettingRegional, name);
}

int32_t DefaultHost::CodePage() {
  std::string value = db_->Setting(kSettingCodePage, "1257");
  return value == "775" ? kCodePageDosBaltic : kCodePageWindowsBaltic;
}

void DefaultHost::SetCodePage(int32_t code_page) {
  MakeLineConverter(code_page);  // raises 5 for a code page without a converter
  db_->SetSetting(kSettingCodePage, std::to_string(code_page));
}

}  // namespace norv::hostkit
