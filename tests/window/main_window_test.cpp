// clientbank's window on screen: the actions ask for a job's inputs, the jobs
// run with the component's dialogs worked by a user, and the views show what
// the jobs did.
#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <tuple>

#include <gtest/gtest.h>

#include "component/cbankcl_vb.h"
#include "forms/control.h"
#include "hostkit/book_layouts.h"
#include "hostkit/default_host.h"
#include "hostkit/sqlite_books.h"
#include "qt/qt_ui_services.h"
#include "qt_test_host.h"
#include "runtime/regional.h"
#include "support/bank_files.h"
#include "support/data_files.h"
#include "window/documents_model.h"
#include "window/job_progress.h"
#include "window/main_window.h"
#include "window/table_models.h"

namespace norv::qttest {
namespace {

// A statement line crediting `amount` to `account` on 2024.01.15.
std::string Credit(const char* account, const char* number, const char* amount) {
  return testing::StatementLine(
      {{2, "2024.01.15"}, {3, account}, {5, "EUR"}, {6, number}, {11, amount}, {12, amount}});
}

// Presses the button `button` ("accept" or "reject") of the window's check
// list when it comes up, keeping a picture of it under `screenshot` when given;
// `seen` tells that it did.
void AnswerCheckList(const char* button, bool& seen, const QString& screenshot = QString()) {
  OnNextModal<QDialog>(
      [button, &seen, screenshot](QDialog& list) {
        seen = true;
        if (!screenshot.isEmpty()) SaveScreenshot(list, screenshot);
        list.findChild<QPushButton*>(QString::fromLatin1(button))->click();
      },
      QStringLiteral("checkList"));
}

// The cells of `columns` of each row ("a b|c d"), the rows sorted.
QString Table(const QAbstractItemModel& model, std::initializer_list<int> columns) {
  QStringList rows;
  for (int row = 0; row < model.rowCount(); ++row) {
    QStringList cells;
    for (int column : columns) cells << model.index(row, column).data().toString();
    rows << cells.join(u' ');
  }
  rows.sort();
  return rows.join(u'|');
}

// Answers the next file dialog with `name` in `folder`, where a file choice
// starts (a folder choice starts where the last one ended).
void ChooseFile(ScreenUser& user, const testing::TempFolder& folder, const char16_t* name) {
  user.QueueFileAnswer([&folder, name](QFileDialog& dialog) {
    if (dialog.fileMode() != QFileDialog::Directory) {
      EXPECT_EQ(dialog.directory().absolutePath(), Q(folder.u16path()));
    }
    dialog.selectFile(Q(folder.u16path()) + u'/' + QString::fromUtf16(name));
    return true;
  });
}

class MainWindowTest : public ScreenTest {
 protected:
  void SetUp() override {
    RegionalSettings::SetCurrent(RegionalSettings::LtLT());
    AddReferenceData();
    clientbank::window::WindowServices services;
    services.host = host_.get();
    services.create_client_bank = [] { return std::make_shared<CBankCl_VB>(); };
    window_ = std::make_unique<clientbank::window::MainWindow>(services, *ui_);
    window_->show();
  }
  void TearDown() override { window_.reset(); }

  void AddReferenceData() {
    hostkit::BookStore store(host_->database());
    auto put = [&](const char16_t* book, hostkit::BookRecord record) {
      store.Put(*hostkit::FindBook(book), record);
    };
    put(u"PathKey", {{u"Key", u"RazizeRuveRO"}, {u"EntryPath", folder_.u16path()}});
    for (auto code : {u"LB", u"GP", u"GR"}) {
      put(u"REFRateType", {{u"Code", code}, {u"Name", code}});
      for (auto currency : {u"USD", u"EUR"}) {
        put(u"REFCurrencyRateType",
            {{u"RateTypeCode", code}, {u"CurrencyCode", currency}, {u"Amount", 1}});
        if (code[1] == u'B') put(u"REFCurrency", {{u"CurrencyCode", currency}});
      }
    }
  }
  QString PaymentsFile(const std::string& bytes = testing::DataBytes("window", "payments.json")) {
    folder_.WriteBytes("mokėjimai.json", bytes);
    return QString::fromStdString(folder_.File("mokėjimai.json"));
  }

  std::unique_ptr<clientbank::window::MainWindow> window_;
};

TEST_F(MainWindowTest, ExportActionAsksForTheDocumentsAndTheEndDate) {
  OnNextModal<QDialog>([this](QDialog& ask) {
    ask.findChild<QLineEdit*>(QStringLiteral("docsFile"))->setText(PaymentsFile());
    ask.findChild<QDateEdit*>(QStringLiteral("endDate"))->setDate(QDate(2024, 2, 29));
    ask.accept();
  });
  std::u16string proposed;
  user_.QueueUser([&](qt::FormDialog& dialog) {
    proposed = TextOf(dialog, u"edDPFile").toStdU16String();
    PressKey(dialog, Qt::Key_Escape);
  });
  // The error the cancel raised, then the component's notice of the run ended
  // by error (the job ends every run it began to export), in either order of
  // the two watchers.
  SeenMessage boxes[2];
  AnswerNextMessageBox(boxes[0]);
  AnswerNextMessageBox(boxes[1]);
  QTest::mouseClick(window_->findChild<QPushButton*>(QStringLiteral("Eksportuoti mokėjimus…")),
                    Qt::LeftButton);
  EXPECT_EQ(proposed, u"240229.mok");
  EXPECT_TRUE(boxes[0].seen && boxes[1].seen);
  EXPECT_TRUE((boxes[0].informative + boxes[1].informative).contains(u"1100"));
  EXPECT_EQ(window_->files()->rowCount(), 0);
  EXPECT_EQ(window_->outcome(),
            QStringLiteral("Eksportas nutrauktas dėl klaidos; failai nebuvo pradėti rašyti."));
}

// A missing file raises an error the user sees in a box; problems in the payments
// are listed, and no target dialog follows.
TEST_F(MainWindowTest, AnErrorOrProblemsInThePaymentsStopTheExport) {
  SeenMessage error;
  AnswerNextMessageBox(error);
  window_->ExportPayments(QStringLiteral("nėra.json"), Date::FromCivil(2024, 1, 31));
  EXPECT_EQ(error.icon, QMessageBox::Critical);
  EXPECT_TRUE(error.text.contains(u"nėra.json") && error.informative.contains(u"Klaidos numeris"));
  EXPECT_TRUE(window_->outcome().startsWith(QStringLiteral("Eksportas nutrauktas dėl klaidos")));
  EXPECT_FALSE(window_->progress()->running());
  std::string payments = testing::DataBytes("window", "payments.json");
  payments.replace(payments.find("LT25"), 4, "LT00");  // check digits that do not pass
  bool listed = false;
  AnswerCheckList("reject", listed, QStringLiteral("clientbank_problems"));
  window_->ExportPayments(PaymentsFile(payments), Date::FromCivil(2024, 1, 31));
  EXPECT_TRUE(listed);
  EXPECT_EQ(window_->outcome(),
            QStringLiteral("Eksportas neįvyko: mokėjimuose rasta klaidų: 1, įspėjimų: 0."));
  EXPECT_EQ(window_->files()->rowCount(), 0);
}

TEST_F(MainWindowTest, CancelOnTheBarStopsAnImportAndStoresNothing) {
  // More lines than a job reads between two looks at Cancel.
  std::vector<std::string> lines(9000, Credit("LT001", "D-1", "1"));
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

// Each job shows its component dialog, worked with the browse buttons through
// the screen's file dialogs, keys and picks; the views show what the job did.
TEST_F(MainWindowTest, TheThreeJobsShowTheirDialogsAndWhatTheyDid) {
  folder_.WriteBytes("kursai.txt",
                     testing::BankFile({testing::RateLine("USD", {"3.4528", "0", "3.50"}),
                                        testing::RateLine("EUR", {"3.4528", "0", "3.46"}),
                                        "2006.03.31 kursai", "GALAS"}));
  SeenMessage refused, summary, counts;
  AnswerNextMessageBox(refused);
  ChooseFile(user_, folder_, u"kursai.txt");
  user_.QueueUser([&](qt::FormDialog& dialog) {
    ClickOn(dialog, u"btOk");  // no rate type chosen: an error box, and the dialog stays
    EXPECT_TRUE(dialog.isVisible() && refused.icon == QMessageBox::Critical);
    ClickOn(dialog, u"btSelectDPFile");
    EXPECT_EQ(TextOf(dialog, u"edLBRateFile"), Q(ComponentPath(folder_, u"kursai.txt")));
    PickCode(dialog, u"cbLBRateType", QStringLiteral("LB"));
    PickCode(dialog, u"cbCashSellRateType", QStringLiteral("GR"));
    CheckLayout(dialog, QStringLiteral("LoadRateDlgVB"));
    AnswerNextMessageBox(summary);
    PressKey(dialog, Qt::Key_Return);
  });
  bool changes_listed = false;  // kept: what the load changed
  AnswerCheckList("accept", changes_listed, QStringLiteral("clientbank_rate_changes"));
  window_->LoadRates();
  EXPECT_TRUE(changes_listed);
  // The component's messages: one Gerai button, the icon of their kind, the program's title.
  EXPECT_EQ(std::tuple(summary.icon, summary.buttons.join(u','), summary.title, refused.title),
            std::tuple(int(QMessageBox::Information), QStringLiteral("Gerai"),
                       QApplication::applicationDisplayName(), summary.title));
  // Every rate of the two chosen columns with its four decimals.
  EXPECT_EQ(Table(*window_->rates(), {0, 1, 3}),
            QStringLiteral("EUR GR 3,4600|EUR LB 3,4528|USD GR 3,5000|USD LB 3,4528"));
  auto busy = host::HostLibrary::Current().CreateWaitIndicator();  // the screen's busy cursor
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  busy.reset();

  AnswerNextMessageBox(counts);
  QDir().mkpath(Q(folder_.u16path()) + QStringLiteral("/Mokėjimai"));
  ChooseFile(user_, folder_, u"Mokėjimai");
  user_.QueueUser([&](qt::FormDialog& dialog) {
    EXPECT_EQ(TextOf(dialog, u"edDPFile") + TextOf(dialog, u"edFPFile"), u"240131.mok240131.tar");
    CheckLayout(dialog, QStringLiteral("SelectFilesDlg"));
    ClickOn(dialog, u"btSelectDPFile");  // no action: no dialog comes up
    ClickOn(dialog, u"btSelectPath");
    TypeInto(dialog, u"edDPFile", QStringLiteral("vietiniai_ąčę.mok"));
    PressKey(dialog, Qt::Key_Return);
  });
  window_->ExportPayments(PaymentsFile(), Date::FromCivil(2024, 1, 31));
  EXPECT_EQ(counts.icon, QMessageBox::Information);
  EXPECT_EQ(window_->outcome(), QStringLiteral("Eksportuota mokėjimų: vietinių 1, valiutinių 1."));
  const QString out = Q(folder_.u16path() + u"/Mokėjimai/");  // the files with their lines
  EXPECT_EQ(Table(*window_->files(), {0, 1}),
            out + "240131.tar 1|" + out + QStringLiteral("vietiniai_ąčę.mok 1"));
  EXPECT_TRUE(QFileInfo::exists(out + "240131.tar"));

  folder_.WriteBytes("išrašas.txt", testing::BankFile({Credit("LT001", "D-17", "150"),
                                                       Credit("LT002", "D-18", "70"),
                                                       Credit("LT001", "D-19", "32"), "GALAS"}));
  user_.QueueUser([&](qt::FormDialog& dialog) {
    TypeInto(dialog, u"edImpFile", Q(ComponentPath(folder_, u"išrašas.txt")));
    Toggle(dialog, u"chCreateKreditDoc");  // ticked by the space bar, then back
    EXPECT_EQ(
        static_cast<forms::CheckBox*>(dialog.form().FindControl(u"chCreateKreditDoc"))->Value(), 1);
    Toggle(dialog, u"chCreateKreditDoc");
    CheckLayout(dialog, QStringLiteral("LoadStatementDlg"));
    PressKey(dialog, Qt::Key_Return);
  });
  window_->ImportStatement(QStringLiteral("LT001"));  // the line of LT002 is not a document
  EXPECT_TRUE(window_->outcome().startsWith(QStringLiteral("Importuota dokumentų: 2 ")));
  EXPECT_EQ(Table(*window_->documents(), {1, 4}), QStringLiteral("D-17 150,00|D-19 32,00"));
  EXPECT_EQ(host_->ErrorsReported(), 0);
  SaveScreenshot(*window_, QStringLiteral("clientbank"));
}

// Pictures of the window over a statement of benchmark size, taken while the
// import's bar moves and after it. Run by hand: NORV_BIG_STATEMENT names a
// statement whose lines are of the account LT00100001; skipped otherwise.
TEST_F(MainWindowTest, PicturesOverABenchmarkStatement) {
  const char* statement = std::getenv("NORV_BIG_STATEMENT");
  if (statement == nullptr) GTEST_SKIP() << "NORV_BIG_STATEMENT names no statement";
  QString path = QFileInfo(QString::fromLocal8Bit(statement)).absoluteFilePath();
  path.replace(u'/', u'\\');
  bool progress_shown = false;
  QTimer during;
  QObject::connect(&during, &QTimer::timeout, [&] {
    if (progress_shown || !window_->progress()->running() ||
        window_->progress()->bar()->value() < 200) {
      return;
    }
    SaveScreenshot(*window_, QStringLiteral("clientbank_progress"));
    progress_shown = true;
  });
  during.start(100);
  user_.QueueUser([&](qt::FormDialog& dialog) {
    TypeInto(dialog, u"edImpFile", path);
    ClickOn(dialog, u"btOk");
  });
  window_->ImportStatement(QStringLiteral("LT00100001"));
  EXPECT_TRUE(progress_shown);
  clientbank::window::DocumentsModel* docs = window_->documents();
  EXPECT_LE(docs->rowCount(), 512);  // the first page, not the whole table
  SaveScreenshot(*window_, QStringLiteral("clientbank_million"));
  // Dragging the scroll bar down again and again fetches a page each time.
  QScrollBar* scroll = window_->documents_view()->verticalScrollBar();
  for (int turn = 0; turn < 100; ++turn) {
    scroll->setValue(scroll->maximum());
    QCoreApplication::processEvents();
  }
  EXPECT_GT(docs->rowCount(), 512 * 50);
  SaveScreenshot(*window_, QStringLiteral("clientbank_scrolled"));
}

}  // namespace
}  // namespace norv::qttest
