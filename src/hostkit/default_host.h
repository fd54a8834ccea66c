// DefaultHost: the embedded default host. Every service the component calls is
// real: reference books, form settings and settings in one SQLite database, the
// resource module "NorvFormRes", the line converter of the database's setting,
// console messages and error reports, and for the dialogs a scripted forms
// driver with scripted folder and file choices. A screen host swaps the user
// interface services (forms driver, choices, messages, error reports) for its own.
//
//   auto host = std::make_shared<hostkit::DefaultHost>(hostkit::DefaultHost::Options{"bank.db"});
//   host::HostLibrary::Install(host);
//   host->Driver().ExpectShow(u"SelectFilesDlg", {hostkit::Click(u"btOk")});
#pragma once

#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "host/host_library.h"
#include "hostkit/console_services.h"
#include "hostkit/database.h"
#include "hostkit/form_settings_store.h"
#include "hostkit/resource_module.h"
#include "hostkit/scripted_answers.h"
#include "hostkit/scripted_driver.h"
#include "hostkit/sqlite_books.h"

namespace norv::hostkit {

// Names of the settings kept in the database.
inline constexpr char kSettingRegional[] = "regional";
inline constexpr char kSettingCodePage[] = "line_converter_code_page";

class DefaultHost : public host::HostLibrary {
 public:
  struct Options {
    std::string database_path = "clientbank.db";
    int busy_timeout_ms = 5000;
    std::ostream* out = &std::cout;
    std::ostream* err = &std::cerr;
  };

  // Opens (or creates) the database; its errors pass to the caller.
  explicit DefaultHost(const Options& options);
  ~DefaultHost() override;

  // --- HostLibrary ---
  std::unique_ptr<host::MessageWindow> CreateMessageWindow() override;
  std::unique_ptr<host::WaitIndicator> CreateWaitIndicator() override;
  // The converter of the code page setting (1257 unless set to 775).
  std::unique_ptr<host::LineConverter> CreateLineConverter() override;
  std::unique_ptr<host::ErrorContext> CreateErrorContext() override;
  std::unique_ptr<host::DialogForm> CreateDialogForm() override;
  std::unique_ptr<host::HostApp> CreateHostApp() override;
  std::unique_ptr<host::StartupObject> CreateStartupObject() override;
  host::ResourceService& Resources() override { return resources_; }
  host::HostApp& App() override;
  host::BookFactory& Books() override { return books_; }
  host::FolderBrowser& Folders() override;
  host::FileOpenDialog& FileDialog() override;
  host::UtilityService& Utility() override { return utility_; }
  forms::FormsDriver& Forms() override;

  // --- the program's side ---
  const std::shared_ptr<Database>& database() const { return db_; }
  Console& console() { return *console_; }
  // Errors shown through ShowPendingError or an ErrorContext so far.
  int ErrorsReported() const { return console_->ErrorsReported(); }
  ScriptedDriver& Driver() { return driver_; }
  void QueueFolderChoice(std::u16string folder) { folders_.Queue(std::move(folder)); }
  void QueueFileChoice(std::optional<std::u16string> path) { files_.Queue(std::move(path)); }

  // Settings: the regional preset name and the line converter's code page.
  std::string RegionalPreset();
  void SetRegionalPreset(const std::string& name);  // raises 5 for an unknown preset
  int32_t CodePage();
  void SetCodePage(int32_t code_page);  // 1257 or 775, else 5

  // --- a screen host's user interface (nullptr / empty restores the console's) ---
  void SetFormsDriver(std::shared_ptr<forms::FormsDriver> driver) { forms_ = std::move(driver); }
  void SetFolderBrowser(std::shared_ptr<host::FolderBrowser> b) { folder_browser_ = std::move(b); }
  void SetFileDialog(std::shared_ptr<host::FileOpenDialog> d) { file_dialog_ = std::move(d); }
  void SetMessageWindowFactory(std::function<std::unique_ptr<host::MessageWindow>()> factory) {
    message_windows_ = std::move(factory);
  }
  void SetWaitIndicatorFactory(std::function<std::unique_ptr<host::WaitIndicator>()> factory) {
    wait_indicators_ = std::move(factory);
  }
  // Called after each modal show of a form has ended, whichever forms driver
  // showed it (scripted or on screen); the form still holds what the user left
  // in it unless it was unloaded (closed by its close box). A job reads the
  // user's choices here. Returns the observer it replaces; nullptr removes it.
  using ShowEndObserver = std::function<void(forms::Form& form)>;
  ShowEndObserver SetShowEndObserver(ShowEndObserver observer) {
    std::swap(observer, show_end_observer_);
    return observer;
  }
  // Called for every pending error after the console has counted and printed it.
  void SetPendingErrorHandler(std::function<void(const ComError&)> handler) {
    pending_error_handler_ = std::move(handler);
  }

 private:
  class AppObject;
  class ObservedForms;
  void ShowPendingError(const ComError& error);

  std::shared_ptr<Database> db_;
  std::shared_ptr<Console> console_;
  ResourceModuleService resources_;
  SqliteBookFactory books_;
  FormSettingsStore form_settings_;
  HalfEvenUtility utility_;
  ScriptedDriver driver_;
  ScriptedFolderBrowser folders_;
  ScriptedFileDialog files_;
  std::unique_ptr<AppObject> app_;
  std::shared_ptr<host::Context> context_;
  std::shared_ptr<forms::FormsDriver> forms_;
  std::shared_ptr<host::FolderBrowser> folder_browser_;
  std::shared_ptr<host::FileOpenDialog> file_dialog_;
  std::function<std::unique_ptr<host::MessageWindow>()> message_windows_;
  std::function<std::unique_ptr<host::WaitIndicator>()> wait_indicators_;
  std::function<void(const ComError&)> pending_error_handler_;
  ShowEndObserver show_end_observer_;
  std::unique_ptr<ObservedForms> observed_forms_;
};

}  // namespace norv::hostkit
