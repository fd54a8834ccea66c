// clientbank's window on screen: the three actions run the component's jobs
// with its dialogs worked by a user, over the embedded default host with the Qt
// services installed, and the results show what the jobs did.
#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <sstream>

#include <gtest/gtest.h>

#include "component/cbankcl_vb.h"
#include "hostkit/book_specs.h"
#include "hostkit/default_host.h"
#include "hostkit/sqlite_books.h"
#include "qt/host_window.h"
#include "qt/qt_ui_services.h"
#include "qt_test_host.h"
#include "runtime/regional.h"
#include "sample_files.h"

namespace norv::qttest {
namespace {

qt::PaymentDocument LocalPayment() {
  qt::PaymentDocument entry;
  entry.doc_type = kLocalPayment;
  PaymentDoc& doc = entry.doc;
  doc.DocNumber = u"000125";
  doc.DocDate = Date::FromCivil(2024, 1, 30);
  doc.PayerCode = u"123456789";
  doc.PayerName = u"UAB Ąžuolas";
  doc.PayerBankCode = u"70440";
  doc.PayerAccount = u"LT123456789012345678";
  doc.Amount = Currency::FromDouble(1234.5);
  doc.CurrencyCode = u"EUR";
  doc.PayeeName = u"Tiekėjas";
  doc.PayeeBankCode = u"73000";
  doc.PayeeAccount = u"LT876543210987654321";
  doc.Purpose = u"Sąskaita Nr. 15";
  return entry;
}

qt::PaymentDocument ForeignPayment() {
  qt::PaymentDocument entry;
  entry.doc_type = 2;
  PaymentDoc& doc = entry.doc;
  doc.DocNumber = u"7";
  doc.DocDate = Date::FromCivil(2024, 1, 30);
  doc.PaymentType = 1;
  doc.CurrencyCode = u"USD";
  doc.Amount = Currency::FromInteger(2500);
  doc.PayerAccount = u"LT123456789012345678";
  doc.PayerBankCode = u"70440";
  doc.PayeeBankSwift = u"BANKDEFF";
  doc.PayeeBankName = u"Beispiel Bank";
  doc.PayeeAccount = u"DE00123456780000000000";
  doc.PayeeName = u"Muster GmbH";
  doc.Purpose = u"Invoice 15";
  doc.ForeignBankCharges = 3;
  return entry;
}

class HostWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hostkit::DefaultHost::Options options;
    options.database_path = folder_.File("clientbank.db");
    options.out = &console_;
    options.err = &console_;
    host_ = std::make_shared<hostkit::DefaultHost>(options);
    host::HostLibrary::Install(host_);
    RegionalSettings::SetCurrent(RegionalSettings::LtLT());
    AddReferenceData();

    ui_ = std::make_unique<qt::QtUiServices>(qt::DatabaseBooks(host_->database()),
                                             user_.FileRunner());
    ui_->InstallInto(*host_);
    user_.Attach(ui_->driver());
    qt::GuiServices services;
    services.host = host_.get();
    services.create_client_bank = [] { return std::make_shared<CBankCl_VB>(); };
    services.read_payment_docs = [this](const std::string& path) {
      docs_files_read_.push_back(path);
      return std::vector<qt::PaymentDocument>{LocalPayment(), ForeignPayment()};
    };
    window_ = std::make_unique<qt::HostWindow>(services, *ui_);
    window_->show();
  }
  void TearDown() override {
    EXPECT_TRUE(user_.Problems().empty()) << user_.Problems().front();
    EXPECT_EQ(user_.PendingUsers(), 0u);
    window_.reset();
    qt::QtUiServices::UninstallFrom(*host_);
    host::HostLibrary::Install(nullptr);
  }

  void AddReferenceData() {
    hostkit::BookStore store(host_->database());
    auto put = [&](const char16_t* book, hostkit::BookRecord record) {
      store.Put(*hostkit::FindBook(book), record);
    };
    put(u"PathKey", {{u"Key", u"RazizeRuveRO"}, {u"EntryPath", folder_.u16path()}});
    const std::vector<std::pair<const char16_t*, const char16_t*>> types = {
        {u"LB", u"Lietuvos banko"}, {u"GP", u"Grynųjų pirkimo"}, {u"GR", u"Grynųjų pardavimo"}};
    for (auto [code, name] : types) {
      put(u"REFRateType", {{u"Code", code}, {u"Name", name}});
      for (auto currency : {u"USD", u"EUR"}) {
        put(u"REFCurrencyRateType", {{u"RateTypeCode", code},
                                     {u"CurrencyCode", currency},
                                     {u"Amount", 1},
                                     {u"IsReverse", 0}});
      }
    }
    put(u"REFCurrency", {{u"CurrencyCode", u"USD"}, {u"Name", u"JAV doleris"}});
    put(u"REFCurrency", {{u"CurrencyCode", u"EUR"}, {u"Name", u"Euras"}});
  }

  void RunExport() {
    SeenMessage counts;
    AnswerNextMessageBox(counts);
    user_.QueueUser([](qt::FormDialog& dialog) { PressKey(dialog, Qt::Key_Return); });
    window_->ExportPayments(QStringLiteral("mokėjimai.json"), Date::FromCivil(2024, 1, 31));
    EXPECT_TRUE(counts.seen);
    EXPECT_EQ(counts.icon, QMessageBox::Information);
  }
  void RunImport() {
    folder_.WriteBytes("išrašas.txt",
                       StatementFile({StatementLine(u"LT001", u"D-17", u"150", u"Už prekes"),
                                      StatementLine(u"LT002", u"D-18", u"70", u"Kita sąskaita"),
                                      StatementLine(u"LT001", u"D-19", u"32", u"Už paslaugas")}));
    user_.QueueUser([&](qt::FormDialog& dialog) {
      TypeInto(dialog, u"edImpFile", Q(ComponentPath(folder_, u"išrašas.txt")));
      ClickOn(dialog, u"btOk");
    });
    window_->ImportStatement(QStringLiteral("LT001"));
  }
  void RunRates() {
    folder_.WriteBytes("kursai.txt", SampleRateFile());
    SeenMessage summary;
    AnswerNextMessageBox(summary);
    user_.QueueUser([&](qt::FormDialog& dialog) {
      TypeInto(dialog, u"edLBRateFile", Q(ComponentPath(folder_, u"kursai.txt")));
      PickCode(dialog, u"cbLBRateType", QStringLiteral("LB"));
      PickCode(dialog, u"cbCashSellRateType", QStringLiteral("GR"));
      ClickOn(dialog, u"btOk");
    });
    window_->LoadRates();
    EXPECT_TRUE(summary.seen);
  }

  testing::TempFolder folder_;
  std::ostringstream console_;
  std::shared_ptr<hostkit::DefaultHost> host_;
  std::unique_ptr<qt::QtUiServices> ui_;
  ScreenUser user_;
  std::unique_ptr<qt::HostWindow> window_;
  std::vector<std::string> docs_files_read_;
};

TEST_F(HostWindowTest, ExportActionAsksForTheDocumentsAndTheEndDate) {
  OnNextModal<QDialog>([](QDialog& ask) {
    auto* file = ask.findChild<QLineEdit*>(QStringLiteral("docsFile"));
    auto* date = ask.findChild<QDateEdit*>(QStringLiteral("endDate"));
    ASSERT_NE(file, nullptr);
    ASSERT_NE(date, nullptr);
    file->setText(QStringLiteral("/duomenys/mokėjimai.json"));
    date->setDate(QDate(2024, 2, 29));
    ask.accept();
  });
  std::u16string proposed;
  user_.QueueUser([&](qt::FormDialog& dialog) {
    proposed = TextOf(dialog, u"edDPFile").toStdU16String();
    ClickOn(dialog, u"btCancel");
  });
  SeenMessage cancelled;
  AnswerNextMessageBox(cancelled);  // the host shows the error the cancel raised
  auto* button = window_->findChild<QPushButton*>(QStringLiteral("Eksportuoti mokėjimus…"));
  ASSERT_NE(button, nullptr);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(docs_files_read_, std::vector<std::string>{"/duomenys/mokėjimai.json"});
  EXPECT_EQ(proposed, u"240229.mok");
  EXPECT_TRUE(cancelled.seen);
  EXPECT_TRUE(cancelled.informative.contains(QStringLiteral("1100")));
  EXPECT_EQ(window_->files_table()->rowCount(), 0);
}

TEST_F(HostWindowTest, TheThreeJobsShowWhatTheyDid) {
  RunRates();
  QTableWidget* rates = window_->rates_table();
  ASSERT_EQ(rates->rowCount(), 4);  // two currencies, two chosen columns
  QStringList shown;                // every rate with its four decimals
  for (int row = 0; row < rates->rowCount(); ++row) {
    shown << rates->item(row, 0)->text() + u' ' + rates->item(row, 1)->text() + u' ' +
                 rates->item(row, 3)->text();
  }
  shown.sort();
  EXPECT_EQ(shown.join(u'|'),
            QStringLiteral("EUR GR 3,4600|EUR LB 3,4528|USD GR 3,5000|USD LB 3,4528"));
  {
    auto busy = host::HostLibrary::Current().CreateWaitIndicator();  // the screen's busy cursor
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  RunExport();
  EXPECT_EQ(docs_files_read_, std::vector<std::string>{"mokėjimai.json"});
  QTableWidget* files = window_->files_table();
  ASSERT_EQ(files->rowCount(), 2);
  QStringList names;
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(files->item(row, 1)->text(), QStringLiteral("1"));  // one line each
    EXPECT_TRUE(QFileInfo::exists(files->item(row, 0)->text()));
    names << QFileInfo(files->item(row, 0)->text()).fileName();
  }
  names.sort();
  EXPECT_EQ(names, (QStringList{QStringLiteral("240131.mok"), QStringLiteral("240131.tar")}));

  RunImport();  // the line of another account and the end marker are not documents
  QTableWidget* docs = window_->documents_table();
  ASSERT_EQ(docs->rowCount(), 2);
  EXPECT_EQ(docs->item(0, 1)->text(), QStringLiteral("D-17"));
  EXPECT_EQ(docs->item(1, 1)->text(), QStringLiteral("D-19"));
  EXPECT_EQ(docs->item(0, 4)->text(), QStringLiteral("150,00"));
  EXPECT_EQ(host_->ErrorsReported(), 0);
  SaveScreenshot(*window_, QStringLiteral("clientbank"));
}

}  // namespace
}  // namespace norv::qttest
