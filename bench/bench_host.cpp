#include "bench/bench_host.h"

#include <map>

#include "runtime/com_error.h"
#include "runtime/text.h"

namespace norv::bench {
namespace {

[[noreturn]] void NotInBench(const char16_t* what) {
  throw ComError(438, u"BenchHost", std::u16string(what) + u" is not part of the benchmark host");
}

class BenchMessages : public host::MessageWindow {
 public:
  explicit BenchMessages(std::shared_ptr<std::vector<std::u16string>> log) : log_(std::move(log)) {}
  int32_t ShowMessage(const std::u16string& text, const std::u16string&, const std::u16string&,
                      const std::u16string&, const std::u16string&, const std::u16string&, int32_t,
                      uint8_t, int32_t, const std::u16string&, const std::u16string&,
                      const std::u16string&, int32_t) override {
    log_->push_back(text);
    return 1;
  }

 private:
  std::shared_ptr<std::vector<std::u16string>> log_;
};

class NoWait : public host::WaitIndicator {};

class SameLine : public host::LineConverter {
 public:
  std::u16string Convert(const std::u16string& text, int32_t) override { return text; }
};

class FixedTexts : public host::ResourceService {
 public:
  void UseResourceModule(const std::u16string&) override {}
  std::u16string LoadText(int32_t id) override { return u"text " + IntToText(id) + u" %0 %1 %2"; }
  void LocalizeForm(forms::Form&) override {}
};

class FormValues : public host::FormSettings {
 public:
  void ReadFormValue(const std::u16string& form, const std::u16string& key,
                     Variant& value) override {
    if (auto it = values_.find({form, key}); it != values_.end()) value = it->second;
  }
  void WriteFormValue(const std::u16string& form, const std::u16string& key,
                      const Variant& value) override {
    values_[{form, key}] = value;
  }

 private:
  std::map<std::pair<std::u16string, std::u16string>, Variant> values_;
};

class BenchApp : public host::HostApp {
 public:
  BenchApp(std::shared_ptr<std::vector<std::u16string>> log, FormValues* settings)
      : log_(std::move(log)), settings_(settings) {}
  void ShowPendingError(const ComError& error) override {
    log_->push_back(u"error " + IntToText(error.number()) + u": " + error.description());
  }
  host::FormSettings& GetFormSettings() override { return *settings_; }
  std::shared_ptr<host::Context> GetContext() override { NotInBench(u"Context"); }

 private:
  std::shared_ptr<std::vector<std::u16string>> log_;
  FormValues* settings_;
};

// Knows no key: the folder comes from the dialog script.
class EmptyPathKey : public host::Book {
 public:
  bool FindByKey(const std::vector<Variant>&) override { return false; }
  std::u16string EntryPath() override { return u""; }
  host::BookFields& Fields() override { NotInBench(u"Fields"); }
  void BeginNew() override { NotInBench(u"BeginNew"); }
  void StoreNew() override { NotInBench(u"StoreNew"); }
  void UpdateById(int32_t) override { NotInBench(u"UpdateById"); }
  void DeleteById(int32_t) override { NotInBench(u"DeleteById"); }
};

class BenchBooks : public host::BookFactory {
 public:
  std::shared_ptr<host::Book> OpenBook(const std::u16string& name,
                                       std::shared_ptr<host::Session>) override {
    if (name != u"PathKey") NotInBench(name.c_str());
    return std::make_shared<EmptyPathKey>();
  }
};

class NoFolders : public host::FolderBrowser {
 public:
  std::u16string BrowseForFolder(intptr_t, const std::u16string&, const std::u16string&) override {
    return u"";
  }
};

class NoFiles : public host::FileOpenDialog {
 public:
  std::optional<std::u16string> GetOpenFileName(const host::OpenFileRequest&) override {
    return std::nullopt;
  }
};

class Rounding : public host::UtilityService {
 public:
  Currency RoundMoney(Currency value, int32_t) override { return value; }
};

}  // namespace

struct BenchHost::Services {
  explicit Services(std::shared_ptr<std::vector<std::u16string>> log)
      : app(std::move(log), &settings) {}
  FixedTexts texts;
  FormValues settings;
  BenchApp app;
  BenchBooks books;
  NoFolders folders;
  NoFiles files;
  Rounding rounding;
};

BenchHost::BenchHost() : messages_(std::make_shared<std::vector<std::u16string>>()) {
  services_ = std::make_unique<Services>(messages_);
}
BenchHost::~BenchHost() = default;

std::shared_ptr<BenchHost> BenchHost::Install() {
  auto host = std::make_shared<BenchHost>();
  host::HostLibrary::Install(host);
  return host;
}

std::unique_ptr<host::MessageWindow> BenchHost::CreateMessageWindow() {
  return std::make_unique<BenchMessages>(messages_);
}
std::unique_ptr<host::WaitIndicator> BenchHost::CreateWaitIndicator() {
  return std::make_unique<NoWait>();
}
std::unique_ptr<host::LineConverter> BenchHost::CreateLineConverter() {
  return std::make_unique<SameLine>();
}
std::unique_ptr<host::ErrorContext> BenchHost::CreateErrorContext() { NotInBench(u"ErrorContext"); }
std::unique_ptr<host::DialogForm> BenchHost::CreateDialogForm() { NotInBench(u"DialogForm"); }
std::unique_ptr<host::HostApp> BenchHost::CreateHostApp() {
  return std::make_unique<BenchApp>(messages_, &services_->settings);
}
std::unique_ptr<host::StartupObject> BenchHost::CreateStartupObject() {
  return std::make_unique<host::StartupObject>();
}
host::ResourceService& BenchHost::Resources() { return services_->texts; }
host::HostApp& BenchHost::App() { return services_->app; }
host::BookFactory& BenchHost::Books() { return services_->books; }
host::FolderBrowser& BenchHost::Folders() { return services_->folders; }
host::FileOpenDialog& BenchHost::FileDialog() { return services_->files; }
host::UtilityService& BenchHost::Utility() { return services_->rounding; }
forms::FormsDriver& BenchHost::Forms() { return driver_; }

}  // namespace norv::bench
