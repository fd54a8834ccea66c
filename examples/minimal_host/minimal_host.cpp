// The smallest host of the component: every host service it needs, in memory,
// with the export target dialog confirmed for a folder given on the command
// line. It creates CBankCl_VB through the library's entry point and exports one
// local payment:   minimal_host FOLDER
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include <norv/component/registration.h>
#include <norv/core/client_bank.h>
#include <norv/forms/control.h>
#include <norv/forms/form.h>
#include <norv/forms/forms_driver.h>
#include <norv/host/host_library.h>

namespace {

using namespace norv;

std::string Narrow(const std::u16string& text) {  // enough for the ASCII texts here
  std::string narrow;
  for (char16_t c : text) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return narrow;
}

[[noreturn]] void NotOffered(const char16_t* what) {
  throw ComError(438, u"minimal_host", std::u16string(u"not offered: ") + what);
}

class Messages : public host::MessageWindow {
 public:
  int32_t ShowMessage(const std::u16string& text, const std::u16string&, const std::u16string&,
                      const std::u16string&, const std::u16string&, const std::u16string&, int32_t,
                      uint8_t, int32_t kind, const std::u16string&, const std::u16string&,
                      const std::u16string&, int32_t) override {
    std::printf("%s: %s\n", kind == host::kMessageError ? "error" : "message",
                Narrow(text).c_str());
    return 1;
  }
};

class Identity : public host::LineConverter {
 public:
  std::u16string Convert(const std::u16string& text, int32_t) override { return text; }
};

class Settings : public host::FormSettings {
 public:
  void ReadFormValue(const std::u16string& form, const std::u16string& key,
                     Variant& value) override {
    auto it = values_.find(form + u"." + key);
    if (it != values_.end()) value = it->second;
  }
  void WriteFormValue(const std::u16string& form, const std::u16string& key,
                      const Variant& value) override {
    values_[form + u"." + key] = value;
  }

 private:
  std::map<std::u16string, Variant> values_;
};

class HostApplication : public host::HostApp {
 public:
  void ShowPendingError(const ComError& error) override {
    std::printf("error %d: %s\n", error.number(), Narrow(error.description()).c_str());
  }
  host::FormSettings& GetFormSettings() override { return settings_; }
  std::shared_ptr<host::Context> GetContext() override { NotOffered(u"Context"); }

 private:
  Settings settings_;
};

// Texts in English; the component only needs some text per id.
class Texts : public host::ResourceService {
 public:
  void UseResourceModule(const std::u16string&) override {}
  std::u16string LoadText(int32_t id) override {
    switch (id) {
      case 987:
        return u"Export finished.";
      case 988:
        return u"Local payments";
      case 989:
        return u"Foreign payments";
      default:
        return u"";
    }
  }
  void LocalizeForm(forms::Form&) override {}
};

// No folder is kept for any key: the dialog gets the folder from the driver.
class NoFolders : public host::Book {
 public:
  bool FindByKey(const std::vector<Variant>&) override { return false; }
  std::u16string EntryPath() override { return u""; }
  host::BookFields& Fields() override { NotOffered(u"Fields"); }
  void BeginNew() override { NotOffered(u"BeginNew"); }
  void StoreNew() override { NotOffered(u"StoreNew"); }
  void UpdateById(int32_t) override { NotOffered(u"UpdateById"); }
  void DeleteById(int32_t) override { NotOffered(u"DeleteById"); }
};

class BookShelf : public host::BookFactory {
 public:
  std::shared_ptr<host::Book> OpenBook(const std::u16string& name,
                                       std::shared_ptr<host::Session>) override {
    if (name != u"PathKey") NotOffered(u"books other than PathKey");
    return std::make_shared<NoFolders>();
  }
};

class NoChoice : public host::FolderBrowser, public host::FileOpenDialog {
 public:
  std::u16string BrowseForFolder(intptr_t, const std::u16string&, const std::u16string&) override {
    return u"";
  }
  std::optional<std::u16string> GetOpenFileName(const host::OpenFileRequest&) override {
    return std::nullopt;
  }
};

class Rounding : public host::UtilityService {
 public:
  Currency RoundMoney(Currency value, int32_t) override { return value; }
};

// Confirms the export target dialog with the folder; closes any other form.
class ConfirmingDriver : public forms::FormsDriver {
 public:
  explicit ConfirmingDriver(std::u16string folder) : folder_(std::move(folder)) {}
  void RunModal(forms::Form& form) override {
    auto* path = dynamic_cast<forms::TextBox*>(form.FindControl(u"edPath"));
    auto* ok = dynamic_cast<forms::CommandButton*>(form.FindControl(u"btOk"));
    if (form.Name() == u"SelectFilesDlg" && path != nullptr && ok != nullptr) {
      path->SetText(folder_);
      ok->Click();
    }
    if (form.IsLoaded() && form.IsVisible()) form.CloseByUser();
  }
  void EndModal(forms::Form&) override {}

 private:
  std::u16string folder_;
};

class MinimalHost : public host::HostLibrary {
 public:
  explicit MinimalHost(std::u16string folder) : driver_(std::move(folder)) {}
  std::unique_ptr<host::MessageWindow> CreateMessageWindow() override {
    return std::make_unique<Messages>();
  }
  std::unique_ptr<host::WaitIndicator> CreateWaitIndicator() override {
    return std::make_unique<host::WaitIndicator>();
  }
  std::unique_ptr<host::LineConverter> CreateLineConverter() override {
    return std::make_unique<Identity>();
  }
  std::unique_ptr<host::ErrorContext> CreateErrorContext() override { NotOffered(u"ErrorContext"); }
  std::unique_ptr<host::DialogForm> CreateDialogForm() override { NotOffered(u"DialogForm"); }
  std::unique_ptr<host::HostApp> CreateHostApp() override {
    return std::make_unique<HostApplication>();
  }
  std::unique_ptr<host::StartupObject> CreateStartupObject() override {
    return std::make_unique<host::StartupObject>();
  }
  host::ResourceService& Resources() override { return texts_; }
  host::HostApp& App() override { return app_; }
  host::BookFactory& Books() override { return books_; }
  host::FolderBrowser& Folders() override { return choice_; }
  host::FileOpenDialog& FileDialog() override { return choice_; }
  host::UtilityService& Utility() override { return rounding_; }
  forms::FormsDriver& Forms() override { return driver_; }

 private:
  Texts texts_;
  HostApplication app_;
  BookShelf books_;
  NoChoice choice_;
  Rounding rounding_;
  ConfirmingDriver driver_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: minimal_host FOLDER\n");
    return 2;
  }
  std::u16string folder;
  for (const char* c = argv[1]; *c != '\0'; ++c) folder.push_back(static_cast<unsigned char>(*c));
  host::HostLibrary::Install(std::make_shared<MinimalHost>(folder));

  void* object = nullptr;
  if (Norv_CreateObject(kClassClientBank, &object, nullptr, nullptr) != 0) return 1;
  std::unique_ptr<IClientBank, void (*)(IClientBank*)> bank(
      static_cast<IClientBank*>(object),
      [](IClientBank* doomed) { Norv_ReleaseObject(kClassClientBank, doomed); });
  try {
    const Date day = Date::FromCivil(2024, 1, 15);
    bank->BeginExport(day, Date::FromCivil(2024, 1, 31));
    PaymentDoc doc;
    doc.DocNumber = u"125";
    doc.DocDate = day;
    doc.PayerBankCode = u"70440";
    doc.PayerAccount = u"LT123456789012345678";
    doc.Amount = Currency::FromRaw(12345000);
    doc.CurrencyCode = u"EUR";
    doc.PayeeName = u"Tiekejas";
    doc.PayeeAccount = u"LT876543210987654321";
    int32_t local = kLocalPayment;
    bank->ExportDoc(local, doc);
    bool end_by_error = false;
    bank->EndExport(end_by_error);
  } catch (const ComError& error) {
    std::printf("error %d: %s\n", error.number(), Narrow(error.description()).c_str());
    bool end_by_error = true;
    bank->EndExport(end_by_error);
    return 1;
  }
  bank.reset();
  host::HostLibrary::Install(nullptr);
  return 0;
}
