// RecordingHost: the host library of the tests. Every service is real enough
// to drive the component (in-memory reference books, resource texts, form
// settings, a scripted forms driver, scripted folder and file choices) and
// records every call with its arguments.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/host_library.h"
#include "hostkit/scripted_driver.h"
#include "runtime/com_error.h"
#include "runtime/variant.h"

namespace norv::testing {

struct MessageCall {
  std::u16string text, title, button1, button2, button3, button4;
  int32_t default_button = 0;
  uint8_t flags = 0;
  int32_t kind = 0;
  std::u16string extra1, extra2, extra3;
  int32_t help_id = 0;
};

struct ReportedError {
  int32_t number = 0;
  std::u16string source;
  std::u16string description;
};

struct ConverterCall {
  std::u16string text;
  int32_t mode = 0;
};

// One operation on a book: "OpenBook", "FindByKey", "SetValue", "BeginNew",
// "StoreNew", "UpdateById", "DeleteById". `args` holds the keys, the field name and
// value, or the IDC.
struct BookCall {
  std::u16string book;
  std::u16string op;
  std::vector<Variant> args;
  bool with_session = false;  // "OpenBook": a session object was passed
};

using Record = std::map<std::u16string, Variant>;

class RecordingHost : public host::HostLibrary, public std::enable_shared_from_this<RecordingHost> {
 public:
  // The books of the embedded default host (hostkit/book_specs.h), created empty.
  RecordingHost();
  ~RecordingHost() override;

  // --- HostLibrary ---
  std::unique_ptr<host::MessageWindow> CreateMessageWindow() override;
  std::unique_ptr<host::WaitIndicator> CreateWaitIndicator() override;
  std::unique_ptr<host::LineConverter> CreateLineConverter() override;
  std::unique_ptr<host::ErrorContext> CreateErrorContext() override;
  std::unique_ptr<host::DialogForm> CreateDialogForm() override;
  std::unique_ptr<host::HostApp> CreateHostApp() override;
  std::unique_ptr<host::StartupObject> CreateStartupObject() override;
  host::ResourceService& Resources() override;
  host::HostApp& App() override;
  host::BookFactory& Books() override;
  host::FolderBrowser& Folders() override;
  host::FileOpenDialog& FileDialog() override;
  host::UtilityService& Utility() override;
  forms::FormsDriver& Forms() override;

  // --- set-up ---
  // Resource texts: those of the default host's module "NorvFormRes", "Tekstas <id>" for an
  // id it lacks; SetText overrides.
  void SetText(int32_t id, std::u16string text);
  std::u16string Text(int32_t id) const;  // what LoadText answers for the id
  static std::u16string DefaultText(int32_t id);
  // The line converter: identity unless set.
  void SetConverter(std::function<std::u16string(const std::u16string&, int32_t)> convert);
  // Books.
  void SetPathKey(const std::u16string& key, const std::u16string& folder);
  void AddRecord(const std::u16string& book,
                 Record record);  // REFCurrencyRate gets an IDC when it has none
  std::vector<Record> Records(const std::u16string& book) const;
  // The next call of `op` on `book` raises `error` (once).
  void FailNext(const std::u16string& book, const std::u16string& op, ComError error);
  // Folder choices and file choices, answered in order; nullopt or "" = cancel.
  void QueueFolderChoice(std::u16string folder);
  void QueueFileChoice(std::optional<std::u16string> path);
  hostkit::ScriptedDriver& Driver() { return driver_; }
  // Whether the logs of book calls, releases and RoundMoney calls are kept (by
  // default they are); a fuzz target, which runs many inputs a second, only
  // needs the messages, errors and books.
  void KeepCallLogs(bool keep);

  // --- what happened ---
  const std::vector<MessageCall>& Messages() const { return messages_; }
  const std::vector<ReportedError>& Errors() const { return errors_; }
  const std::vector<ConverterCall>& ConverterCalls() const { return converter_calls_; }
  const std::vector<BookCall>& BookCalls() const { return book_calls_; }
  const std::vector<std::u16string>& ErrorContextReports() const { return context_reports_; }
  const std::vector<host::OpenFileRequest>& FileDialogRequests() const { return file_requests_; }
  struct FolderRequest {
    intptr_t owner = 0;
    std::u16string title, start;
  };
  const std::vector<FolderRequest>& FolderRequests() const { return folder_requests_; }
  const std::vector<std::u16string>& ResourceModules() const { return resource_modules_; }
  const std::vector<std::u16string>& LocalizedForms() const { return localized_forms_; }
  std::map<std::pair<std::u16string, std::u16string>, Variant>& FormValues() {
    return form_values_;
  }
  int WaitIndicatorsCreated() const { return waits_created_; }
  int WaitIndicatorsAlive() const { return waits_alive_; }
  int StartupObjectsCreated() const { return startup_objects_; }
  int LineConvertersCreated() const { return converters_created_; }
  int MessageWindowsCreated() const { return message_windows_created_; }
  int DialogFormsCreated() const { return dialog_forms_created_; }
  std::vector<std::pair<Currency, int32_t>>& RoundMoneyCalls() { return round_calls_; }
  // Per-call host objects in the order they were released, named by kind and
  // creation number: "MessageWindow 1", "LineConverter 1", "WaitIndicator 2",
  // "ErrorContext 1", "HostApp 1", "DialogForm 1".
  const std::vector<std::u16string>& Releases() const;
  // Called right after each release is noted, with its name: lets a test look at
  // the world at that moment (files on disk, forms).
  void OnRelease(std::function<void(const std::u16string&)> hook);

  // Internals shared with the service objects of recording_host.cpp.
  struct State;
  State& state() { return *state_; }

 private:
  friend struct State;
  std::unique_ptr<State> state_;
  hostkit::ScriptedDriver driver_;
  std::vector<MessageCall> messages_;
  std::vector<ReportedError> errors_;
  std::vector<ConverterCall> converter_calls_;
  std::vector<BookCall> book_calls_;
  std::vector<std::u16string> context_reports_;
  std::vector<host::OpenFileRequest> file_requests_;
  std::vector<FolderRequest> folder_requests_;
  std::vector<std::u16string> resource_modules_;
  std::vector<std::u16string> localized_forms_;
  std::map<std::pair<std::u16string, std::u16string>, Variant> form_values_;
  std::vector<std::pair<Currency, int32_t>> round_calls_;
  int waits_created_ = 0;
  int waits_alive_ = 0;
  int startup_objects_ = 0;
  int converters_created_ = 0;
  int message_windows_created_ = 0;
  int dialog_forms_created_ = 0;
};

// Installs a new RecordingHost for the calling thread for the scope of the object
// (a test fixture member); removes it again at the end.
class ScopedRecordingHost {
 public:
  ScopedRecordingHost();
  ~ScopedRecordingHost();
  RecordingHost& operator*() { return *host_; }
  RecordingHost* operator->() { return host_.get(); }

 private:
  std::shared_ptr<RecordingHost> host_;
};

// A fresh empty folder under the system's temporary folder, removed with the object.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::string& path() const { return path_; }
  std::u16string u16path() const;
  // The folder's path followed by "/" and `name`.
  std::string File(const std::string& name) const;
  std::string ReadBytes(const std::string& name) const;  // "" when the file is missing
  void WriteBytes(const std::string& name, const std::string& bytes) const;
  bool Exists(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace norv::testing
