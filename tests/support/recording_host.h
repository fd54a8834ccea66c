// RecordingHost: the host of the tests. It is the embedded default host on an
// in-memory database (its books, resource module, rounding, dialog frame,
// scripted forms driver and scripted choices) with a recorder of what the
// component asked of it. Unlike the default host its message windows show
// nothing and answer 1, and its line converter is the identity unless a test
// sets one.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hostkit/default_host.h"
#include "runtime/com_error.h"
#include "runtime/text.h"
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
  std::u16string source, description;
};

struct ConverterCall {
  std::u16string text;
  int32_t mode = 0;
};

// One operation on a book: "OpenBook", "FindByKey", "SetValue", "BeginNew",
// "StoreNew", "UpdateById", "DeleteById". `args` holds the keys, the field name and
// value, or the IDC.
struct BookCall {
  std::u16string book, op;
  std::vector<Variant> args;
};

using Record = hostkit::BookRecord;

struct FolderRequest {
  intptr_t owner = 0;
  std::u16string title, start;
};

// What the component asked of the host. Host objects share it, so that one
// released after the host still has somewhere to note it.
struct HostLog {
  std::vector<MessageCall> messages;
  std::vector<ReportedError> errors;
  std::vector<ConverterCall> converter_calls;
  std::vector<BookCall> book_calls;
  std::vector<std::u16string> context_reports, resource_modules, releases;
  std::vector<FolderRequest> folder_requests;
  std::vector<std::pair<Currency, int32_t>> round_calls;
  std::map<std::pair<std::u16string, std::u16string>, Variant> form_values;
  std::map<std::pair<std::u16string, std::u16string>, ComError> failures;
  std::map<int32_t, std::u16string> texts;
  std::function<std::u16string(const std::u16string&, int32_t)> convert;
  std::function<void(const std::u16string&)> release_hook;
  bool keep_call_logs = true;
  int waits_created = 0, waits_alive = 0, startup_objects = 0, converters_created = 0,
      message_windows_created = 0, dialog_forms_created = 0, error_contexts_created = 0,
      host_apps_created = 0;

  void Released(const std::u16string& name);
  // Notes a book operation and raises the failure a test armed for it.
  void BookOp(BookCall call);
};

class RecordingHost : public hostkit::DefaultHost {
 public:
  RecordingHost();
  ~RecordingHost() override;

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
  host::UtilityService& Utility() override;

  // --- set-up ---
  // Resource texts: those of the module "NorvFormRes" unless SetText overrides.
  void SetText(int32_t id, std::u16string text) { log_->texts[id] = std::move(text); }
  std::u16string Text(int32_t id) const;  // what LoadText answers for the id
  void SetConverter(std::function<std::u16string(const std::u16string&, int32_t)> convert) {
    log_->convert = std::move(convert);
  }
  void SetPathKey(const std::u16string& key, const std::u16string& folder);
  void AddRecord(const std::u16string& book, const Record& record);
  // In the order stored (REFCurrencyRate, by IDC), else in key order.
  std::vector<Record> Records(const std::u16string& book) const;
  // The next call of `op` on `book` raises `error` (once).
  void FailNext(const std::u16string& book, const std::u16string& op, ComError error) {
    log_->failures.insert_or_assign({book, op}, std::move(error));
  }
  // Whether book calls, releases and RoundMoney calls are logged (by default they are).
  void KeepCallLogs(bool keep) { log_->keep_call_logs = keep; }

  // --- what happened ---
  const std::vector<MessageCall>& Messages() const { return log_->messages; }
  const std::vector<ReportedError>& Errors() const { return log_->errors; }
  const std::vector<ConverterCall>& ConverterCalls() const { return log_->converter_calls; }
  const std::vector<BookCall>& BookCalls() const { return log_->book_calls; }
  const std::vector<std::u16string>& ErrorContextReports() const { return log_->context_reports; }
  const std::vector<host::OpenFileRequest>& FileDialogRequests();
  const std::vector<FolderRequest>& FolderRequests() const { return log_->folder_requests; }
  const std::vector<std::u16string>& ResourceModules() const { return log_->resource_modules; }
  std::map<std::pair<std::u16string, std::u16string>, Variant>& FormValues() {
    return log_->form_values;
  }
  int WaitIndicatorsCreated() const { return log_->waits_created; }
  int WaitIndicatorsAlive() const { return log_->waits_alive; }
  int StartupObjectsCreated() const { return log_->startup_objects; }
  int LineConvertersCreated() const { return log_->converters_created; }
  int MessageWindowsCreated() const { return log_->message_windows_created; }
  int DialogFormsCreated() const { return log_->dialog_forms_created; }
  std::vector<std::pair<Currency, int32_t>>& RoundMoneyCalls() { return log_->round_calls; }
  // Per-call host objects in the order they were released, named by kind and
  // creation number: "MessageWindow 1", "LineConverter 1", "WaitIndicator 2",
  // "ErrorContext 1", "HostApp 1", "DialogForm 1".
  const std::vector<std::u16string>& Releases() const { return log_->releases; }
  // Called right after each release is noted, with its name.
  void OnRelease(std::function<void(const std::u16string&)> hook) {
    log_->release_hook = std::move(hook);
  }

 private:
  struct Services;
  std::shared_ptr<HostLog> log_;
  std::unique_ptr<Services> services_;
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
  std::u16string u16path() const { return Utf8ToU16(path_); }
  // The folder's path followed by "/" and `name`.
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::string ReadBytes(const std::string& name) const;  // "" when the file is missing
  void WriteBytes(const std::string& name, const std::string& bytes) const;
  bool Exists(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace norv::testing
