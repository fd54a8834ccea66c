#include "qt/qt_ui_services.h"

#include "hostkit/book_layouts.h"
#include "hostkit/sqlite_books.h"
#include "qt/qt_message_window.h"
#include "qt/qt_wait_indicator.h"

namespace norv::qt {

BookLister DatabaseBooks(std::shared_ptr<hostkit::Database> db) {
  return [db](const std::u16string& name) {
    std::vector<BookEntry> entries;
    const hostkit::BookLayout* book = hostkit::FindBook(name);
    if (book == nullptr) return entries;  // a combo bound to no book lists nothing
    hostkit::BookStore store(db);
    for (const hostkit::BookRecord& record : store.List(*book)) {
      auto code = record.find(u"Code");
      auto entry_name = record.find(u"Name");
      if (code == record.end()) continue;
      entries.push_back({VariantToText(code->second),
                         entry_name == record.end() ? u"" : VariantToText(entry_name->second)});
    }
    return entries;
  };
}

QtUiServices::QtUiServices(BookLister books, FileDialogRunner runner)
    : runner_(runner),
      driver_(std::make_shared<QtFormsDriver>(std::move(books))),
      folders_(std::make_shared<QtFolderBrowser>(runner)),
      files_(std::make_shared<QtFileOpenDialog>(runner)) {}

void QtUiServices::InstallInto(hostkit::DefaultHost& host) {
  host.SetFormsDriver(driver_);
  host.SetFolderBrowser(folders_);
  host.SetFileDialog(files_);
  host.SetMessageWindowFactory([] { return std::make_unique<QtMessageWindow>(); });
  host.SetWaitIndicatorFactory([] { return std::make_unique<QtWaitIndicator>(); });
  host.SetPendingErrorHandler([](const ComError& error) { ShowErrorBox(error); });
}

void QtUiServices::UninstallFrom(hostkit::DefaultHost& host) {
  host.SetFormsDriver(nullptr);
  host.SetFolderBrowser(nullptr);
  host.SetFileDialog(nullptr);
  host.SetMessageWindowFactory(nullptr);
  host.SetWaitIndicatorFactory(nullptr);
  host.SetPendingErrorHandler(nullptr);
}

}  // namespace norv::qt
