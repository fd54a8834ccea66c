// clientbank's window on screen: a job's error reaches the user as a message
// box, and Cancel on the progress bar stops an import.
#include <QMessageBox>
#include <QPushButton>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>

#include "component/cbankcl_vb.h"
#include "hostkit/book_specs.h"
#include "hostkit/default_host.h"
#include "hostkit/sqlite_books.h"
#include "qt/qt_ui_services.h"
#include "qt_test_host.h"
#include "runtime/regional.h"
#include "support/bank_files.h"
#include "window/documents_model.h"
#include "window/job_progress.h"
#include "window/main_window.h"

namespace norv::qttest {
namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hostkit::DefaultHost::Options options;
    options.database_path = folder_.File("clientbank.db");
    options.out = &console_;
    options.err = &console_;
    host_ = std::make_shared<hostkit::DefaultHost>(options);
    host::HostLibrary::Install(host_);
    RegionalSettings::SetCurrent(RegionalSettings::LtLT());
    hostkit::BookStore(host_->database())
        .Put(*hostkit::FindBook(u"PathKey"),
             {{u"Key", u"RazizeRuveRO"}, {u"EntryPath", folder_.u16path()}});

    ui_ = std::make_unique<qt::QtUiServices>(qt::DatabaseBooks(host_->database()),
                                             user_.FileRunner());
    ui_->InstallInto(*host_);
    user_.Attach(ui_->driver());
    clientbank::window::WindowServices services;
    services.host = host_.get();
    services.create_client_bank = [] { return std::make_shared<CBankCl_VB>(); };
    window_ = std::make_unique<clientbank::window::MainWindow>(services, *ui_);
    window_->show();
  }
  void TearDown() override {
    EXPECT_TRUE(user_.Problems().empty()) << user_.Problems().front();
    EXPECT_EQ(user_.PendingUsers(), 0u);
    window_.reset();
    qt::QtUiServices::UninstallFrom(*host_);
    host::HostLibrary::Install(nullptr);
  }

  testing::TempFolder folder_;
  std::ostringstream console_;
  std::shared_ptr<hostkit::DefaultHost> host_;
  std::unique_ptr<qt::QtUiServices> ui_;
  ScreenUser user_;
  std::unique_ptr<clientbank::window::MainWindow> window_;
};

TEST_F(MainWindowTest, AJobsErrorReachesTheUserAsAMessage) {
  SeenMessage error;
  AnswerNextMessageBox(error);
  window_->ExportPayments(QStringLiteral("nėra.json"), Date::FromCivil(2024, 1, 31));
  EXPECT_TRUE(error.seen);
  EXPECT_EQ(error.icon, QMessageBox::Critical);
  EXPECT_TRUE(error.text.contains(QStringLiteral("nėra.json"))) << error.text.toStdString();
  EXPECT_TRUE(error.informative.contains(QStringLiteral("Klaidos numeris")))
      << error.informative.toStdString();
  EXPECT_TRUE(window_->outcome().startsWith(QStringLiteral("Eksportas nutrauktas dėl klaidos")));
  EXPECT_FALSE(window_->progress()->running());
}

TEST_F(MainWindowTest, CancelOnTheBarStopsAnImportAndStoresNothing) {
  // More lines than a job reads between two looks at Cancel.
  std::vector<std::string> lines(
      9000, testing::StatementLine({{2, "2024.01.15"}, {3, "LT001"}, {5, "EUR"}, {11, "1"}}));
  lines.push_back("GALAS");
  folder_.WriteBytes("didelis.txt", testing::BankFile(lines));
  user_.QueueUser([&](qt::FormDialog& dialog) {
    EXPECT_TRUE(window_->progress()->isVisible());
    window_->progress()->cancel_button()->click();  // as the dialog closes
    TypeInto(dialog, u"edImpFile", Q(ComponentPath(folder_, u"didelis.txt")));
    ClickOn(dialog, u"btOk");
  });
  window_->ImportStatement(QStringLiteral("LT001"));
  EXPECT_EQ(window_->outcome(),
            QStringLiteral("Importas atšauktas; neišsaugotas nė vienas dokumentas."));
  EXPECT_EQ(window_->documents()->stored(), 0);
  EXPECT_FALSE(window_->progress()->isVisible());
}

}  // namespace
}  // namespace norv::qttest
