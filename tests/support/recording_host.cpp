#include "support/recording_host.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <utility>

#include "forms/form.h"
#include "hostkit/book_layouts.h"
#include "hostkit/dialog_form_impl.h"
#include "hostkit/resource_module.h"
#include "hostkit/scripted_answers.h"
#include "runtime/text.h"

namespace norv::testing {
namespace {

hostkit::DefaultHost::Options InMemory() {
  static std::ostream nowhere(nullptr);
  hostkit::DefaultHost::Options options;
  options.database_path = ":memory:";
  options.out = options.err = &nowhere;
  return options;
}

// Notes its own release, named by kind and creation number, for the per-call
// host object built on it.
struct Noted {
  Noted(std::shared_ptr<HostLog> log, const char16_t* kind, int n)
      : log(std::move(log)), name(kind + (u" " + IntToText(n))) {}
  ~Noted() { log->Released(name); }
  std::shared_ptr<HostLog> log;
  std::u16string name;
};

struct Message : host::MessageWindow, Noted {
  using Noted::Noted;
  int32_t ShowMessage(const std::u16string& text, const std::u16string& title,
                      const std::u16string& button1, const std::u16string& button2,
                      const std::u16string& button3, const std::u16string& button4,
                      int32_t default_button, uint8_t flags, int32_t kind,
                      const std::u16string& extra1, const std::u16string& extra2,
                      const std::u16string& extra3, int32_t help_id) override {
    log->messages.push_back(MessageCall{text, title, button1, button2, button3, button4,
                                        default_button, flags, kind, extra1, extra2, extra3,
                                        help_id});
    return 1;
  }
};

struct Wait : host::WaitIndicator, Noted {
  using Noted::Noted;
  ~Wait() override { --log->waits_alive; }
};

struct Converter : host::LineConverter, Noted {
  using Noted::Noted;
  std::u16string Convert(const std::u16string& text, int32_t mode) override {
    log->converter_calls.push_back(ConverterCall{text, mode});
    return log->convert ? log->convert(text, mode) : text;
  }
};

struct ErrorNotes : host::ErrorContext, Noted {
  using Noted::Noted;
  void BeginContext(const std::u16string&, const std::u16string&) override {}
  std::u16string ContextText() override { return text; }
  void SetContextText(const std::u16string& context) override { text = context; }
  void Finish() override { log->context_reports.push_back(text); }
  std::u16string text;
};

struct Dialog : hostkit::DialogFormImpl, Noted {
  Dialog(RecordingHost& host, std::shared_ptr<HostLog> log, int n)
      : DialogFormImpl(host), Noted(std::move(log), u"DialogForm", n) {}
};

// The host application object: errors and form values go to the log; the
// library-wide one (number 0) notes no release.
struct RecordedApp : host::HostApp, host::FormSettings {
  RecordedApp(std::shared_ptr<HostLog> log, int n, std::shared_ptr<host::Context> context)
      : log_(log), context_(std::move(context)) {
    if (n > 0) noted_.emplace(log, u"HostApp", n);
  }
  void ShowPendingError(const ComError& error) override {
    log_->errors.push_back(ReportedError{error.number(), error.source(), error.description()});
  }
  host::FormSettings& GetFormSettings() override { return *this; }
  std::shared_ptr<host::Context> GetContext() override { return context_; }
  void ReadFormValue(const std::u16string& form, const std::u16string& key,
                     Variant& value) override {
    auto it = log_->form_values.find({form, key});
    if (it != log_->form_values.end()) value = it->second;
  }
  void WriteFormValue(const std::u16string& form, const std::u16string& key,
                      const Variant& value) override {
    log_->form_values[{form, key}] = value;
  }
  std::shared_ptr<HostLog> log_;
  std::shared_ptr<host::Context> context_;
  std::optional<Noted> noted_;
};

// A book of the default host whose operations are logged.
class RecordedBook : public host::Book, public host::BookFields {
 public:
  RecordedBook(std::shared_ptr<HostLog> log, std::u16string name, std::shared_ptr<host::Book> book)
      : log_(std::move(log)), name_(std::move(name)), book_(std::move(book)) {}
  bool FindByKey(const std::vector<Variant>& keys) override {
    return Op(u"FindByKey", keys), book_->FindByKey(keys);
  }
  std::u16string EntryPath() override { return book_->EntryPath(); }
  host::BookFields& Fields() override { return *this; }
  host::BookField& Item(const std::u16string& name) override {
    auto& field = fields_[name];
    if (!field) field = std::make_unique<Field>(*this, name, book_->Fields().Item(name));
    return *field;
  }
  void BeginNew() override { Op(u"BeginNew", {}), book_->BeginNew(); }
  void StoreNew() override { Op(u"StoreNew", {}), book_->StoreNew(); }
  void UpdateById(int32_t idc) override { Op(u"UpdateById", {idc}), book_->UpdateById(idc); }
  void DeleteById(int32_t idc) override { Op(u"DeleteById", {idc}), book_->DeleteById(idc); }

 private:
  struct Field : host::BookField {
    Field(RecordedBook& book, std::u16string name, host::BookField& field)
        : book(book), name(std::move(name)), field(field) {}
    Variant Value() override { return field.Value(); }
    void SetValue(const Variant& value) override {
      book.Op(u"SetValue", {name, value}), field.SetValue(value);
    }
    RecordedBook& book;
    std::u16string name;
    host::BookField& field;
  };
  void Op(const char16_t* op, std::vector<Variant> args) {
    log_->BookOp(BookCall{name_, op, std::move(args)});
  }

  std::shared_ptr<HostLog> log_;
  std::u16string name_;
  std::shared_ptr<host::Book> book_;
  std::map<std::u16string, std::unique_ptr<Field>> fields_;
};

}  // namespace

void HostLog::Released(const std::u16string& name) {
  if (keep_call_logs) releases.push_back(name);
  if (release_hook) release_hook(name);
}

void HostLog::BookOp(BookCall call) {
  auto failure = failures.extract({call.book, call.op});
  if (keep_call_logs) book_calls.push_back(std::move(call));
  if (failure) throw failure.mapped();
}

// The services the recorder puts between the component and the default host's.
struct RecordingHost::Services : host::ResourceService,
                                 host::BookFactory,
                                 host::FolderBrowser,
                                 host::UtilityService {
  Services(RecordingHost& host, std::shared_ptr<HostLog> log)
      : host(host), log(log), app(log, 0, host.DefaultHost::App().GetContext()) {}

  void UseResourceModule(const std::u16string& module_name) override {
    log->resource_modules.push_back(module_name);
    host.DefaultHost::Resources().UseResourceModule(module_name);
  }
  std::u16string LoadText(int32_t id) override { return host.Text(id); }
  void LocalizeForm(forms::Form& form) override {
    host.DefaultHost::Resources().LocalizeForm(form);
  }
  std::shared_ptr<host::Book> OpenBook(const std::u16string& name,
                                       std::shared_ptr<host::Session> session) override {
    log->BookOp(BookCall{name, u"OpenBook", {}});
    return std::make_shared<RecordedBook>(log, name,
                                          host.DefaultHost::Books().OpenBook(name, session));
  }
  std::u16string BrowseForFolder(intptr_t owner, const std::u16string& title,
                                 const std::u16string& start) override {
    log->folder_requests.push_back(FolderRequest{owner, title, start});
    return host.DefaultHost::Folders().BrowseForFolder(owner, title, start);
  }
  Currency RoundMoney(Currency value, int32_t digits) override {
    if (log->keep_call_logs) log->round_calls.emplace_back(value, digits);
    return host.DefaultHost::Utility().RoundMoney(value, digits);
  }

  RecordingHost& host;
  std::shared_ptr<HostLog> log;
  RecordedApp app;
};

RecordingHost::RecordingHost()
    : DefaultHost(InMemory()),
      log_(std::make_shared<HostLog>()),
      services_(std::make_unique<Services>(*this, log_)) {}

RecordingHost::~RecordingHost() = default;

std::unique_ptr<host::MessageWindow> RecordingHost::CreateMessageWindow() {
  return std::make_unique<Message>(log_, u"MessageWindow", ++log_->message_windows_created);
}

std::unique_ptr<host::WaitIndicator> RecordingHost::CreateWaitIndicator() {
  ++log_->waits_alive;
  return std::make_unique<Wait>(log_, u"WaitIndicator", ++log_->waits_created);
}

std::unique_ptr<host::LineConverter> RecordingHost::CreateLineConverter() {
  return std::make_unique<Converter>(log_, u"LineConverter", ++log_->converters_created);
}

std::unique_ptr<host::ErrorContext> RecordingHost::CreateErrorContext() {
  return std::make_unique<ErrorNotes>(log_, u"ErrorContext", ++log_->error_contexts_created);
}

std::unique_ptr<host::DialogForm> RecordingHost::CreateDialogForm() {
  return std::make_unique<Dialog>(*this, log_, ++log_->dialog_forms_created);
}

std::unique_ptr<host::HostApp> RecordingHost::CreateHostApp() {
  return std::make_unique<RecordedApp>(log_, ++log_->host_apps_created,
                                       services_->app.GetContext());
}

std::unique_ptr<host::StartupObject> RecordingHost::CreateStartupObject() {
  ++log_->startup_objects;
  return DefaultHost::CreateStartupObject();
}

host::ResourceService& RecordingHost::Resources() { return *services_; }
host::HostApp& RecordingHost::App() { return services_->app; }
host::BookFactory& RecordingHost::Books() { return *services_; }
host::FolderBrowser& RecordingHost::Folders() { return *services_; }
host::UtilityService& RecordingHost::Utility() { return *services_; }

std::u16string RecordingHost::Text(int32_t id) const {
  auto it = log_->texts.find(id);
  return it != log_->texts.end() ? it->second : hostkit::NorvFormResText(id);
}

const std::vector<host::OpenFileRequest>& RecordingHost::FileDialogRequests() {
  return dynamic_cast<hostkit::ScriptedFileDialog&>(DefaultHost::FileDialog()).Requests();
}

void RecordingHost::SetPathKey(const std::u16string& key, const std::u16string& folder) {
  AddRecord(u"PathKey", {{u"Key", key}, {u"EntryPath", folder}});
}

void RecordingHost::AddRecord(const std::u16string& book, const Record& record) {
  hostkit::BookStore(database()).Put(*hostkit::FindBook(book), record);
}

std::vector<Record> RecordingHost::Records(const std::u16string& book) const {
  std::vector<Record> records = hostkit::BookStore(database()).List(*hostkit::FindBook(book));
  std::stable_sort(records.begin(), records.end(), [](const Record& a, const Record& b) {
    return a.contains(u"IDC") && VariantToInt32(a.at(u"IDC")) < VariantToInt32(b.at(u"IDC"));
  });
  return records;
}

ScopedRecordingHost::ScopedRecordingHost() : host_(std::make_shared<RecordingHost>()) {
  host::HostLibrary::Install(host_);
}

ScopedRecordingHost::~ScopedRecordingHost() { host::HostLibrary::Install(nullptr); }

TempFolder::TempFolder() {
  const char* base = std::getenv("TMPDIR");
  path_ = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/norv_XXXXXX";
  if (mkdtemp(path_.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
}

TempFolder::~TempFolder() {
  std::error_code ignored;  // a leftover temporary folder is no test failure
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::ReadBytes(const std::string& name) const {
  std::ifstream in(File(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void TempFolder::WriteBytes(const std::string& name, const std::string& bytes) const {
  std::ofstream out(File(name), std::ios::binary);
  if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
    throw std::runtime_error("TempFolder::WriteBytes failed");
  }
}

bool TempFolder::Exists(const std::string& name) const {
  return std::filesystem::exists(File(name));
}

}  // namespace norv::testing
