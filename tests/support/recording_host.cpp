#include "support/recording_host.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "forms/control.h"
#include "forms/form.h"
#include "hostkit/book_specs.h"
#include "hostkit/console_services.h"
#include "hostkit/dialog_form_impl.h"
#include "hostkit/resource_module.h"
#include "runtime/text.h"

namespace norv::testing {
namespace {

// Error numbers of a data host for the faults the fake books can detect.
constexpr int32_t kErrNoCurrentRecord = 3021;
constexpr int32_t kErrDuplicateKey = 3022;
constexpr int32_t kErrItemNotFound = 3265;
constexpr int32_t kErrNotSupported = 438;

[[noreturn]] void RaiseHost(int32_t number, const std::u16string& description) {
  throw ComError(number, u"RecordingHost", description);
}

bool IsNumeric(const Variant& value) {
  return std::holds_alternative<int32_t>(value) || std::holds_alternative<double>(value) ||
         std::holds_alternative<Currency>(value) || std::holds_alternative<Date>(value) ||
         std::holds_alternative<bool>(value);
}

double NumericValue(const Variant& value) {
  if (const auto* i = std::get_if<int32_t>(&value)) return *i;
  if (const auto* d = std::get_if<double>(&value)) return *d;
  if (const auto* c = std::get_if<Currency>(&value)) return c->ToDouble();
  if (const auto* t = std::get_if<Date>(&value)) return t->serial();
  if (const auto* b = std::get_if<bool>(&value)) return *b ? -1.0 : 0.0;
  return 0.0;
}

// Key comparison by value: texts exactly, numbers, amounts and dates (by serial)
// numerically, the empty value only with itself.
bool SameValue(const Variant& a, const Variant& b) {
  if (std::holds_alternative<std::monostate>(a) || std::holds_alternative<std::monostate>(b)) {
    return a.index() == b.index();
  }
  const auto* ta = std::get_if<std::u16string>(&a);
  const auto* tb = std::get_if<std::u16string>(&b);
  if (ta != nullptr || tb != nullptr) return ta != nullptr && tb != nullptr && *ta == *tb;
  if (const auto* ca = std::get_if<Currency>(&a)) {
    if (const auto* cb = std::get_if<Currency>(&b)) return *ca == *cb;
  }
  return IsNumeric(a) && IsNumeric(b) && NumericValue(a) == NumericValue(b);
}

// "#NNNN" -> NNNN; 0 when the caption is no resource marker.
int32_t CaptionMarker(const std::u16string& caption) {
  if (caption.size() < 2 || caption[0] != u'#') return 0;
  int32_t id = 0;
  for (size_t i = 1; i < caption.size(); ++i) {
    if (caption[i] < u'0' || caption[i] > u'9' || id > 100000000) return 0;
    id = id * 10 + (caption[i] - u'0');
  }
  return id;
}

}  // namespace

struct RecordingHost::State {
  explicit State(RecordingHost& owner) : self(std::make_shared<RecordingHost*>(&owner)) {}

  // Host objects may outlive the host (a form kept for the thread); they reach it
  // through this cell, which the host clears when it goes.
  std::shared_ptr<RecordingHost*> self;

  static RecordingHost& Reach(const std::shared_ptr<RecordingHost*>& cell) {
    if (*cell == nullptr) RaiseRuntime(kErrObjectNotSet, u"the recording host is gone");
    return **cell;
  }

  static void NoteRelease(const std::shared_ptr<RecordingHost*>& cell, const std::u16string& name) {
    RecordingHost* host = *cell;
    if (host == nullptr) return;
    State& state = *host->state_;
    if (state.keep_call_logs) state.releases.push_back(name);
    if (state.release_hook) state.release_hook(name);
  }

  static void MaybeFail(RecordingHost& host, const std::u16string& book, const std::u16string& op) {
    auto& failures = host.state_->failures;
    auto it = failures.find({book, op});
    if (it == failures.end()) return;
    ComError error = it->second;
    failures.erase(it);
    throw error;
  }

  // ---- books ----
  struct BookData {
    std::vector<std::u16string> key_fields;
    std::vector<std::u16string> other_fields;
    std::vector<Record> rows;
    int32_t next_idc = 1;

    bool HasField(const std::u16string& name) const {
      return std::find(key_fields.begin(), key_fields.end(), name) != key_fields.end() ||
             std::find(other_fields.begin(), other_fields.end(), name) != other_fields.end();
    }
    bool HasIdc() const { return HasField(u"IDC"); }
    Record* FindIdc(int32_t idc) {
      for (Record& row : rows) {
        auto it = row.find(u"IDC");
        if (it != row.end() && SameValue(it->second, Variant(idc))) return &row;
      }
      return nullptr;
    }
  };

  class FakeBook;

  class FakeField : public host::BookField {
   public:
    FakeField(FakeBook& book, std::u16string name) : book_(book), name_(std::move(name)) {}
    Variant Value() override;
    void SetValue(const Variant& value) override;

   private:
    FakeBook& book_;
    std::u16string name_;
  };

  class FakeFields : public host::BookFields {
   public:
    explicit FakeFields(FakeBook& book) : book_(book) {}
    host::BookField& Item(const std::u16string& name) override;

   private:
    FakeBook& book_;
    std::map<std::u16string, std::unique_ptr<FakeField>> fields_;
  };

  class FakeBook : public host::Book {
   public:
    FakeBook(std::shared_ptr<RecordingHost*> cell, std::u16string name)
        : cell_(std::move(cell)), name_(std::move(name)), fields_(*this) {}

    bool FindByKey(const std::vector<Variant>& keys) override {
      RecordingHost& host = Begin(u"FindByKey", keys);
      BookData& data = Data(host);
      if (keys.size() > data.key_fields.size()) {
        RaiseRuntime(kErrInvalidCall, u"more keys than the book has");
      }
      has_current_ = false;
      for (const Record& row : data.rows) {
        bool match = true;
        for (size_t i = 0; i < keys.size() && match; ++i) {
          auto it = row.find(data.key_fields[i]);
          match = SameValue(it == row.end() ? Variant() : it->second, keys[i]);
        }
        if (match) {
          has_current_ = true;
          is_new_ = false;
          buffer_ = row;
          return true;
        }
      }
      return false;
    }

    std::u16string EntryPath() override {
      RecordingHost& host = Reach(cell_);
      MaybeFail(host, name_, u"EntryPath");
      if (!Data(host).HasField(u"EntryPath")) {
        RaiseHost(kErrNotSupported, u"Object doesn't support this property or method");
      }
      if (!has_current_) return u"";
      auto it = buffer_.find(u"EntryPath");
      return it == buffer_.end() ? u"" : VariantToText(it->second);
    }

    host::BookFields& Fields() override { return fields_; }

    void BeginNew() override {
      RecordingHost& host = Begin(u"BeginNew", {});
      buffer_.clear();
      BookData& data = Data(host);
      for (const auto& name : data.key_fields) buffer_[name] = Variant();
      for (const auto& name : data.other_fields) buffer_[name] = Variant();
      has_current_ = true;
      is_new_ = true;
    }

    void StoreNew() override {
      RecordingHost& host = Begin(u"StoreNew", {});
      if (!has_current_ || !is_new_) RaiseHost(kErrNoCurrentRecord, u"No new record to store.");
      BookData& data = Data(host);
      for (const Record& row : data.rows) {
        bool same_key = true;
        for (const auto& key : data.key_fields) {
          auto a = row.find(key);
          auto b = buffer_.find(key);
          same_key =
              same_key && a != row.end() && b != buffer_.end() && SameValue(a->second, b->second);
        }
        if (same_key) RaiseHost(kErrDuplicateKey, u"A record with this key exists already.");
      }
      if (data.HasIdc()) buffer_[u"IDC"] = data.next_idc++;
      data.rows.push_back(buffer_);
      is_new_ = false;
    }

    void UpdateById(int32_t idc) override {
      RecordingHost& host = Begin(u"UpdateById", {idc});
      BookData& data = Data(host);
      if (!data.HasIdc()) RaiseHost(kErrNotSupported, u"The book has no IDC.");
      Record* row = data.FindIdc(idc);
      if (row == nullptr) RaiseHost(kErrNoCurrentRecord, u"No record with this IDC.");
      if (!has_current_) RaiseHost(kErrNoCurrentRecord, u"No current record.");
      for (const auto& [name, value] : buffer_) {
        if (name != u"IDC") (*row)[name] = value;
      }
    }

    void DeleteById(int32_t idc) override {
      RecordingHost& host = Begin(u"DeleteById", {idc});
      BookData& data = Data(host);
      if (!data.HasIdc()) RaiseHost(kErrNotSupported, u"The book has no IDC.");
      Record* row = data.FindIdc(idc);
      if (row == nullptr) RaiseHost(kErrNoCurrentRecord, u"No record with this IDC.");
      data.rows.erase(data.rows.begin() + (row - data.rows.data()));
      auto current_idc = buffer_.find(u"IDC");
      if (has_current_ && current_idc != buffer_.end() &&
          SameValue(current_idc->second, Variant(idc))) {
        has_current_ = false;
      }
    }

    Variant ReadField(const std::u16string& field) {
      RecordingHost& host = Reach(cell_);
      MaybeFail(host, name_, u"Value");
      CheckField(host, field);
      if (!has_current_) RaiseHost(kErrNoCurrentRecord, u"No current record.");
      auto it = buffer_.find(field);
      return it == buffer_.end() ? Variant() : it->second;
    }

    void WriteField(const std::u16string& field, const Variant& value) {
      RecordingHost& host = Begin(u"SetValue", {field, value});
      CheckField(host, field);
      if (!has_current_) RaiseHost(kErrNoCurrentRecord, u"No current record.");
      buffer_[field] = value;
    }

    void ValidateField(const std::u16string& field) { CheckField(Reach(cell_), field); }

    void CheckField(RecordingHost& host, const std::u16string& field) {
      if (!Data(host).HasField(field)) {
        RaiseHost(kErrItemNotFound, u"Item not found in this collection: " + field);
      }
    }

   private:
    RecordingHost& Begin(const std::u16string& op, std::vector<Variant> args) {
      RecordingHost& host = Reach(cell_);
      if (host.state_->keep_call_logs)
        host.book_calls_.push_back(BookCall{name_, op, std::move(args)});
      MaybeFail(host, name_, op);
      return host;
    }
    BookData& Data(RecordingHost& host) { return host.state_->books.at(name_); }

    std::shared_ptr<RecordingHost*> cell_;
    std::u16string name_;
    FakeFields fields_;
    bool has_current_ = false;
    bool is_new_ = false;
    Record buffer_;
  };

  class FakeBookFactory : public host::BookFactory {
   public:
    explicit FakeBookFactory(std::shared_ptr<RecordingHost*> cell) : cell_(std::move(cell)) {}
    std::shared_ptr<host::Book> OpenBook(const std::u16string& name,
                                         std::shared_ptr<host::Session> session) override {
      RecordingHost& host = Reach(cell_);
      BookCall call{name, u"OpenBook", {}};
      call.with_session = session != nullptr;
      if (host.state_->keep_call_logs) host.book_calls_.push_back(std::move(call));
      MaybeFail(host, name, u"OpenBook");
      if (!host.state_->books.contains(name)) {
        RaiseHost(kErrItemNotFound, u"The host has no book " + name);
      }
      return std::make_shared<FakeBook>(cell_, name);
    }

   private:
    std::shared_ptr<RecordingHost*> cell_;
  };

  // ---- user-interface services ----
  class FakeMessageWindow : public host::MessageWindow {
   public:
    FakeMessageWindow(std::shared_ptr<RecordingHost*> cell, int number)
        : cell_(std::move(cell)), number_(number) {}
    ~FakeMessageWindow() override { NoteRelease(cell_, u"MessageWindow " + IntToText(number_)); }
    int32_t ShowMessage(const std::u16string& text, const std::u16string& title,
                        const std::u16string& button1, const std::u16string& button2,
                        const std::u16string& button3, const std::u16string& button4,
                        int32_t default_button, uint8_t flags, int32_t kind,
                        const std::u16string& extra1, const std::u16string& extra2,
                        const std::u16string& extra3, int32_t help_id) override {
      Reach(cell_).messages_.push_back(MessageCall{text, title, button1, button2, button3, button4,
                                                   default_button, flags, kind, extra1, extra2,
                                                   extra3, help_id});
      return 1;
    }

   private:
    std::shared_ptr<RecordingHost*> cell_;
    int number_;
  };

  class FakeWaitIndicator : public host::WaitIndicator {
   public:
    FakeWaitIndicator(std::shared_ptr<RecordingHost*> cell, int number)
        : cell_(std::move(cell)), number_(number) {}
    ~FakeWaitIndicator() override {
      if (*cell_ != nullptr) --(*cell_)->waits_alive_;
      NoteRelease(cell_, u"WaitIndicator " + IntToText(number_));
    }

   private:
    std::shared_ptr<RecordingHost*> cell_;
    int number_;
  };

  class FakeLineConverter : public host::LineConverter {
   public:
    FakeLineConverter(std::shared_ptr<RecordingHost*> cell, int number)
        : cell_(std::move(cell)), number_(number) {}
    ~FakeLineConverter() override { NoteRelease(cell_, u"LineConverter " + IntToText(number_)); }
    std::u16string Convert(const std::u16string& text, int32_t mode) override {
      RecordingHost& host = Reach(cell_);
      host.converter_calls_.push_back(ConverterCall{text, mode});
      return host.state_->convert ? host.state_->convert(text, mode) : text;
    }

   private:
    std::shared_ptr<RecordingHost*> cell_;
    int number_;
  };

  class FakeErrorContext : public host::ErrorContext {
   public:
    FakeErrorContext(std::shared_ptr<RecordingHost*> cell, int number)
        : cell_(std::move(cell)), number_(number) {}
    ~FakeErrorContext() override { NoteRelease(cell_, u"ErrorContext " + IntToText(number_)); }
    void BeginContext(const std::u16string&, const std::u16string&) override { begun_ = true; }
    std::u16string ContextText() override { return text_; }
    void SetContextText(const std::u16string& text) override { text_ = text; }
    void Finish() override {
      RecordingHost& host = Reach(cell_);
      if (!begun_) RaiseHost(kErrInvalidCall, u"Finish without BeginContext");
      host.context_reports_.push_back(text_);
    }

   private:
    std::shared_ptr<RecordingHost*> cell_;
    int number_;
    bool begun_ = false;
    std::u16string text_;
  };

  class FakeSession : public host::Session {};

  class FakeContext : public host::Context {
   public:
    explicit FakeContext(std::shared_ptr<host::Session> session) : session_(std::move(session)) {}
    std::shared_ptr<host::Session> GetSession() override { return session_; }

   private:
    std::shared_ptr<host::Session> session_;
  };

  class FakeFormSettings : public host::FormSettings {
   public:
    explicit FakeFormSettings(std::shared_ptr<RecordingHost*> cell) : cell_(std::move(cell)) {}
    void ReadFormValue(const std::u16string& form_name, const std::u16string& key,
                       Variant& value) override {
      auto& values = Reach(cell_).form_values_;
      auto it = values.find({form_name, key});
      if (it != values.end()) value = it->second;
    }
    void WriteFormValue(const std::u16string& form_name, const std::u16string& key,
                        const Variant& value) override {
      Reach(cell_).form_values_[{form_name, key}] = value;
    }

   private:
    std::shared_ptr<RecordingHost*> cell_;
  };

  class FakeHostApp : public host::HostApp {
   public:
    FakeHostApp(std::shared_ptr<RecordingHost*> cell, int number)
        : cell_(std::move(cell)), number_(number), settings_(cell_) {}
    ~FakeHostApp() override {
      if (number_ > 0) NoteRelease(cell_, u"HostApp " + IntToText(number_));
    }
    void ShowPendingError(const ComError& error) override {
      Reach(cell_).errors_.push_back(
          ReportedError{error.number(), error.source(), error.description()});
    }
    host::FormSettings& GetFormSettings() override { return settings_; }
    std::shared_ptr<host::Context> GetContext() override {
      return std::make_shared<FakeContext>(Reach(cell_).state_->session);
    }

   private:
    std::shared_ptr<RecordingHost*> cell_;
    int number_;  // 0 for the library-wide instance
    FakeFormSettings settings_;
  };

  class RecordingDialogForm : public hostkit::DialogFormImpl {
   public:
    RecordingDialogForm(RecordingHost& host, int number)
        : hostkit::DialogFormImpl(host), cell_(host.state_->self), number_(number) {}
    ~RecordingDialogForm() override { NoteRelease(cell_, u"DialogForm " + IntToText(number_)); }

   private:
    std::shared_ptr<RecordingHost*> cell_;
    int number_;
  };

  class FakeStartupObject : public host::StartupObject {};

  class FakeResources : public host::ResourceService {
   public:
    explicit FakeResources(std::shared_ptr<RecordingHost*> cell) : cell_(std::move(cell)) {}
    void UseResourceModule(const std::u16string& module_name) override {
      Reach(cell_).resource_modules_.push_back(module_name);
    }
    std::u16string LoadText(int32_t id) override { return Reach(cell_).Text(id); }
    void LocalizeForm(forms::Form& form) override {
      RecordingHost& host = Reach(cell_);
      host.localized_forms_.push_back(form.Name());
      if (int32_t id = CaptionMarker(form.Caption())) form.SetCaption(host.Text(id));
      for (const auto& control : form.Controls()) {
        if (int32_t id = CaptionMarker(control->Caption())) control->SetCaption(host.Text(id));
      }
    }

   private:
    std::shared_ptr<RecordingHost*> cell_;
  };

  class FakeFolders : public host::FolderBrowser {
   public:
    explicit FakeFolders(std::shared_ptr<RecordingHost*> cell) : cell_(std::move(cell)) {}
    std::u16string BrowseForFolder(intptr_t owner, const std::u16string& title,
                                   const std::u16string& start) override {
      RecordingHost& host = Reach(cell_);
      host.folder_requests_.push_back(FolderRequest{owner, title, start});
      auto& queue = host.state_->folder_choices;
      if (queue.empty()) return u"";
      std::u16string folder = std::move(queue.front());
      queue.pop_front();
      return folder;
    }

   private:
    std::shared_ptr<RecordingHost*> cell_;
  };

  class FakeFileDialog : public host::FileOpenDialog {
   public:
    explicit FakeFileDialog(std::shared_ptr<RecordingHost*> cell) : cell_(std::move(cell)) {}
    std::optional<std::u16string> GetOpenFileName(const host::OpenFileRequest& request) override {
      RecordingHost& host = Reach(cell_);
      host.file_requests_.push_back(request);
      auto& queue = host.state_->file_choices;
      if (queue.empty()) return std::nullopt;
      std::optional<std::u16string> choice = std::move(queue.front());
      queue.pop_front();
      if (!choice || choice->empty()) return std::nullopt;
      // The platform hands back the whole buffer: the path, then NULs.
      std::u16string buffer = *choice;
      if (buffer.size() < request.file_buffer.size())
        buffer.resize(request.file_buffer.size(), u'\0');
      return buffer;
    }

   private:
    std::shared_ptr<RecordingHost*> cell_;
  };

  class FakeUtility : public host::UtilityService {
   public:
    explicit FakeUtility(std::shared_ptr<RecordingHost*> cell) : cell_(std::move(cell)) {}
    // The default host's rounding, half to even, recorded.
    Currency RoundMoney(Currency value, int32_t digits) override {
      RecordingHost& host = Reach(cell_);
      if (host.state_->keep_call_logs) host.round_calls_.emplace_back(value, digits);
      return hostkit::HalfEvenUtility().RoundMoney(value, digits);
    }

   private:
    std::shared_ptr<RecordingHost*> cell_;
  };

  // ---- data ----
  std::map<int32_t, std::u16string> texts;
  std::function<std::u16string(const std::u16string&, int32_t)> convert;
  std::map<std::u16string, BookData> books;
  std::map<std::pair<std::u16string, std::u16string>, ComError> failures;
  std::deque<std::u16string> folder_choices;
  std::deque<std::optional<std::u16string>> file_choices;
  std::shared_ptr<host::Session> session = std::make_shared<FakeSession>();
  std::vector<std::u16string> releases;
  std::function<void(const std::u16string&)> release_hook;
  bool keep_call_logs = true;
  int wait_numbers = 0;
  int error_context_numbers = 0;
  int host_app_numbers = 0;

  FakeResources resources{self};
  FakeHostApp app{self, 0};
  FakeBookFactory book_factory{self};
  FakeFolders folders{self};
  FakeFileDialog file_dialog{self};
  FakeUtility utility{self};
};

Variant RecordingHost::State::FakeField::Value() { return book_.ReadField(name_); }
void RecordingHost::State::FakeField::SetValue(const Variant& value) {
  book_.WriteField(name_, value);
}

host::BookField& RecordingHost::State::FakeFields::Item(const std::u16string& name) {
  book_.ValidateField(name);
  auto& field = fields_[name];
  if (!field) field = std::make_unique<FakeField>(book_, name);
  return *field;
}

// ---- RecordingHost ----

// The books of the embedded default host, with its keys and fields.
RecordingHost::RecordingHost() : state_(std::make_unique<State>(*this)) {
  for (const hostkit::BookSpec& book : hostkit::AllBooks()) {
    State::BookData& data = state_->books[std::u16string(book.name)];
    for (std::u16string_view key : book.keys) data.key_fields.emplace_back(key);
    for (const hostkit::FieldSpec& field : book.fields) {
      if (!data.HasField(std::u16string(field.name))) data.other_fields.emplace_back(field.name);
    }
  }
}

RecordingHost::~RecordingHost() { *state_->self = nullptr; }

std::unique_ptr<host::MessageWindow> RecordingHost::CreateMessageWindow() {
  return std::make_unique<State::FakeMessageWindow>(state_->self, ++message_windows_created_);
}

std::unique_ptr<host::WaitIndicator> RecordingHost::CreateWaitIndicator() {
  ++waits_created_;
  ++waits_alive_;
  return std::make_unique<State::FakeWaitIndicator>(state_->self, waits_created_);
}

std::unique_ptr<host::LineConverter> RecordingHost::CreateLineConverter() {
  return std::make_unique<State::FakeLineConverter>(state_->self, ++converters_created_);
}

std::unique_ptr<host::ErrorContext> RecordingHost::CreateErrorContext() {
  return std::make_unique<State::FakeErrorContext>(state_->self, ++state_->error_context_numbers);
}

std::unique_ptr<host::DialogForm> RecordingHost::CreateDialogForm() {
  return std::make_unique<State::RecordingDialogForm>(*this, ++dialog_forms_created_);
}

std::unique_ptr<host::HostApp> RecordingHost::CreateHostApp() {
  return std::make_unique<State::FakeHostApp>(state_->self, ++state_->host_app_numbers);
}

std::unique_ptr<host::StartupObject> RecordingHost::CreateStartupObject() {
  ++startup_objects_;
  return std::make_unique<State::FakeStartupObject>();
}

host::ResourceService& RecordingHost::Resources() { return state_->resources; }
host::HostApp& RecordingHost::App() { return state_->app; }
host::BookFactory& RecordingHost::Books() { return state_->book_factory; }
host::FolderBrowser& RecordingHost::Folders() { return state_->folders; }
host::FileOpenDialog& RecordingHost::FileDialog() { return state_->file_dialog; }
host::UtilityService& RecordingHost::Utility() { return state_->utility; }
forms::FormsDriver& RecordingHost::Forms() { return driver_; }

void RecordingHost::SetText(int32_t id, std::u16string text) {
  state_->texts[id] = std::move(text);
}

std::u16string RecordingHost::Text(int32_t id) const {
  auto it = state_->texts.find(id);
  return it != state_->texts.end() ? it->second : DefaultText(id);
}

std::u16string RecordingHost::DefaultText(int32_t id) {
  std::u16string text = hostkit::NorvFormResText(id);
  return text.empty() ? u"Tekstas " + IntToText(id) : text;
}

void RecordingHost::SetConverter(
    std::function<std::u16string(const std::u16string&, int32_t)> convert) {
  state_->convert = std::move(convert);
}

void RecordingHost::SetPathKey(const std::u16string& key, const std::u16string& folder) {
  auto& rows = state_->books.at(u"PathKey").rows;
  for (Record& row : rows) {
    if (SameValue(row[u"Key"], Variant(key))) {
      row[u"EntryPath"] = folder;
      return;
    }
  }
  rows.push_back(Record{{u"Key", key}, {u"EntryPath", folder}});
}

void RecordingHost::AddRecord(const std::u16string& book, Record record) {
  auto it = state_->books.find(book);
  if (it == state_->books.end()) throw std::invalid_argument("AddRecord: unknown book");
  State::BookData& data = it->second;
  if (data.HasIdc()) {
    auto idc = record.find(u"IDC");
    if (idc == record.end() || std::holds_alternative<std::monostate>(idc->second)) {
      record[u"IDC"] = data.next_idc++;
    } else {
      data.next_idc = std::max(data.next_idc, VariantToInt32(idc->second) + 1);
    }
  }
  data.rows.push_back(std::move(record));
}

std::vector<Record> RecordingHost::Records(const std::u16string& book) const {
  return state_->books.at(book).rows;
}

void RecordingHost::FailNext(const std::u16string& book, const std::u16string& op, ComError error) {
  state_->failures.insert_or_assign({book, op}, std::move(error));
}

void RecordingHost::QueueFolderChoice(std::u16string folder) {
  state_->folder_choices.push_back(std::move(folder));
}

void RecordingHost::QueueFileChoice(std::optional<std::u16string> path) {
  state_->file_choices.push_back(std::move(path));
}

const std::vector<std::u16string>& RecordingHost::Releases() const { return state_->releases; }

void RecordingHost::KeepCallLogs(bool keep) { state_->keep_call_logs = keep; }

void RecordingHost::OnRelease(std::function<void(const std::u16string&)> hook) {
  state_->release_hook = std::move(hook);
}

// ---- ScopedRecordingHost ----

ScopedRecordingHost::ScopedRecordingHost() : host_(std::make_shared<RecordingHost>()) {
  host::HostLibrary::Install(host_);
}

ScopedRecordingHost::~ScopedRecordingHost() { host::HostLibrary::Install(nullptr); }

// ---- TempFolder ----

TempFolder::TempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/norv_XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;  // a leftover temporary folder is no test failure
  std::filesystem::remove_all(path_, ignored);
}

std::u16string TempFolder::u16path() const { return Utf8ToU16(path_); }

std::string TempFolder::File(const std::string& name) const { return path_ + "/" + name; }

std::string TempFolder::ReadBytes(const std::string& name) const {
  std::ifstream in(File(name), std::ios::binary);
  if (!in) return "";
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void TempFolder::WriteBytes(const std::string& name, const std::string& bytes) const {
  std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("TempFolder::WriteBytes failed");
}

bool TempFolder::Exists(const std::string& name) const {
  return std::filesystem::exists(File(name));
}

}  // namespace norv::testing
