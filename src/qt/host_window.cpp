#include "qt/host_window.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDateEdit>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>

#include "forms/control.h"
#include "forms/form.h"
#include "hostkit/book_specs.h"
#include "hostkit/sqlite_books.h"
#include "hostkit/statement_store.h"
#include "qt/form_dialog.h"
#include "qt/qt_message_window.h"
#include "runtime/com_error.h"
#include "runtime/variant.h"

namespace norv::qt {
namespace {

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }
QString Text(const Variant& value) { return Q(VariantToText(value)); }

QString Decimal(Currency amount, int decimals) {
  return QLocale(QLocale::Lithuanian, QLocale::Lithuania)
      .toString(static_cast<double>(amount.raw()) / 10000.0, 'f', decimals);
}
// Amounts with their two decimals, as an accountant reads them.
QString Money(Currency amount) { return Decimal(amount, 2); }
// Rates keep all four decimals the bank quotes: 3,4600.
QString Rate(const Variant& rate) { return Decimal(VariantToCurrency(rate), 4); }

// The host program's own captions.
const QString kTitle = QStringLiteral("clientbank – kliento-banko mainai");
const QString kExportAction = QStringLiteral("Eksportuoti mokėjimus…");
const QString kImportAction = QStringLiteral("Importuoti išrašą…");
const QString kRatesAction = QStringLiteral("Įkelti valiutų kursus…");
const QString kOk = QStringLiteral("Gerai");
const QString kCancel = QStringLiteral("Atšaukti");

std::u16string TextOf(forms::Form& form, std::u16string_view control) {
  auto* box = dynamic_cast<forms::TextBox*>(form.FindControl(control));
  return box != nullptr ? box->Text() : u"";
}

QTableWidget* MakeTable(const QStringList& headers) {
  auto* table = new QTableWidget(0, static_cast<int>(headers.size()));
  table->setHorizontalHeaderLabels(headers);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setAlternatingRowColors(true);
  table->verticalHeader()->setVisible(false);
  table->horizontalHeader()->setStretchLastSection(true);
  return table;
}

// Numbers (columns listed in `numeric`) stand right-aligned.
void SetRow(QTableWidget* table, int row, const QStringList& cells,
            std::initializer_list<int> numeric = {}) {
  for (int column = 0; column < cells.size(); ++column) {
    auto* item = new QTableWidgetItem(cells[column]);
    if (std::find(numeric.begin(), numeric.end(), column) != numeric.end()) {
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    table->setItem(row, column, item);
  }
}

// A file the component named: its folder with "\" between the parts, and a name.
QString DiskPath(const std::u16string& folder, const std::u16string& name) {
  QString path = Q(folder);
  path.replace(u'\\', u'/');
  if (path.isEmpty()) path = QStringLiteral(".");
  if (!path.endsWith(u'/')) path += u'/';
  return QFileInfo(path + Q(name)).absoluteFilePath();
}

int CountLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return 0;
  return static_cast<int>(file.readAll().count('\n'));
}

// Columns as wide as their contents, the last one taking the rest of the width
// (set again, since sizing to contents fixes the last one's width too).
void FitColumns(QTableWidget* table) {
  table->resizeColumnsToContents();
  table->horizontalHeader()->setStretchLastSection(false);
  table->horizontalHeader()->setStretchLastSection(true);
}

}  // namespace

HostWindow::HostWindow(GuiServices services, QtUiServices& ui, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), ui_(ui) {
  setWindowTitle(kTitle);
  setFont(FormFont(u"Tahoma"));

  auto* export_action = new QAction(kExportAction, this);
  auto* import_action = new QAction(kImportAction, this);
  auto* rates_action = new QAction(kRatesAction, this);
  connect(export_action, &QAction::triggered, this, [this] { AskExport(); });
  connect(import_action, &QAction::triggered, this, [this] { AskImport(); });
  connect(rates_action, &QAction::triggered, this, [this] { LoadRates(); });
  QMenu* menu = menuBar()->addMenu(QStringLiteral("Veiksmai"));
  menu->addAction(export_action);
  menu->addAction(import_action);
  menu->addAction(rates_action);
  menu->addSeparator();
  menu->addAction(QStringLiteral("Baigti"), this, &QWidget::close);

  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  auto* actions = new QHBoxLayout;
  for (QAction* action : {export_action, import_action, rates_action}) {
    auto* button = new QPushButton(action->text());
    button->setObjectName(action->text());
    connect(button, &QPushButton::clicked, action, &QAction::trigger);
    actions->addWidget(button);
  }
  actions->addStretch(1);
  layout->addLayout(actions);

  outcome_ = new QLabel;
  outcome_->setObjectName(QStringLiteral("outcome"));
  outcome_->setWordWrap(true);
  layout->addWidget(outcome_);

  documents_ =
      MakeTable({QStringLiteral("Sąskaita"), QStringLiteral("Dok. Nr."), QStringLiteral("Data"),
                 QStringLiteral("D/K"), QStringLiteral("Suma"), QStringLiteral("Valiuta"),
                 QStringLiteral("Kor. kodas"), QStringLiteral("Kor. sąskaita"),
                 QStringLiteral("Kor. bankas"), QStringLiteral("Paskirtis")});
  rates_ = MakeTable({QStringLiteral("Valiuta"), QStringLiteral("Kurso tipas"),
                      QStringLiteral("Data"), QStringLiteral("Kursas")});
  files_ = MakeTable({QStringLiteral("Failas"), QStringLiteral("Eilučių"),
                      QStringLiteral("Dydis, B"), QStringLiteral("Įrašytas")});
  // All three results at once: the documents across the top, the rates and the
  // files written side by side below.
  auto titled = [](const QString& title, QWidget* content) {
    auto* box = new QGroupBox(title);
    auto* box_layout = new QVBoxLayout(box);
    box_layout->addWidget(content);
    return box;
  };
  auto* lower = new QSplitter(Qt::Horizontal);
  lower->addWidget(titled(QStringLiteral("Valiutų kursai"), rates_));
  lower->addWidget(titled(QStringLiteral("Įrašyti failai"), files_));
  lower->setStretchFactor(0, 1);
  lower->setStretchFactor(1, 1);
  auto* results = new QSplitter(Qt::Vertical);
  results->addWidget(titled(QStringLiteral("Importuoti dokumentai"), documents_));
  results->addWidget(lower);
  layout->addWidget(results, 1);
  setCentralWidget(central);
  resize(960, 640);

  // The component's dialogs are the host's only view of what the user chose:
  // the export target and the statement file are read as the dialogs end.
  ui_.driver().SetShowEndObserver([this](forms::Form& form) {
    if (!form.IsLoaded()) return;  // closed by the close box: nothing was chosen
    if (form.Name() == u"SelectFilesDlg") {
      export_folder_ = TextOf(form, u"edPath");
      dp_name_ = TextOf(form, u"edDPFile");
      fp_name_ = TextOf(form, u"edFPFile");
    } else if (form.Name() == u"LoadStatementDlg") {
      statement_file_ = TextOf(form, u"edImpFile");
    }
  });
  RefreshResults();
}

HostWindow::~HostWindow() { ui_.driver().SetShowEndObserver(nullptr); }

void HostWindow::ShowOutcome(const QString& text) { outcome_->setText(text); }

void HostWindow::AskExport() {
  QDialog ask(this);
  ask.setWindowTitle(QStringLiteral("Mokėjimų eksportas"));
  auto* form = new QFormLayout(&ask);
  auto* file = new QLineEdit(last_docs_file_);
  file->setObjectName(QStringLiteral("docsFile"));
  file->setMinimumWidth(file->fontMetrics().averageCharWidth() * 48);
  auto* browse = new QPushButton(QStringLiteral("Rinktis…"));
  auto* file_row = new QHBoxLayout;
  file_row->addWidget(file, 1);
  file_row->addWidget(browse);
  form->addRow(QStringLiteral("Dokumentų failas (JSON):"), file_row);
  auto* date = new QDateEdit(QDate::currentDate());
  date->setObjectName(QStringLiteral("endDate"));
  date->setCalendarPopup(true);
  date->setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
  form->addRow(QStringLiteral("Laikotarpio pabaiga:"), date);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setText(kOk);
  buttons->button(QDialogButtonBox::Cancel)->setText(kCancel);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
  connect(browse, &QPushButton::clicked, &ask, [this, &ask, file] {
    QFileDialog dialog(&ask, QStringLiteral("Dokumentų failas"),
                       QFileInfo(file->text()).absolutePath());
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("JSON (*.json)"), QStringLiteral("Visi failai (*)")});
    if (ui_.runner()(dialog) && !dialog.selectedFiles().isEmpty()) {
      file->setText(dialog.selectedFiles().front());
    }
  });
  if (ask.exec() != QDialog::Accepted) return;
  last_docs_file_ = file->text();
  const QDate end = date->date();
  ExportPayments(last_docs_file_, Date::FromCivil(end.year(), end.month(), end.day()));
}

void HostWindow::AskImport() {
  QInputDialog ask(this);
  ask.setWindowTitle(QStringLiteral("Išrašo importas"));
  ask.setLabelText(QStringLiteral("Sąskaita:"));
  ask.setTextValue(last_account_);
  ask.setOkButtonText(kOk);
  ask.setCancelButtonText(kCancel);
  if (ask.exec() != QDialog::Accepted || ask.textValue().trimmed().isEmpty()) return;
  last_account_ = ask.textValue().trimmed();
  ImportStatement(last_account_);
}

void HostWindow::ExportPayments(const QString& docs_file, Date end_date) {
  std::vector<PaymentDocument> docs;
  try {
    docs = services_.read_payment_docs(docs_file.toStdString());
  } catch (const ComError& error) {
    ShowErrorBox(error);
    ShowOutcome(QStringLiteral("Dokumentų failas neperskaitytas."));
    return;
  }
  export_folder_.clear();
  dp_name_.clear();
  fp_name_.clear();
  std::shared_ptr<IClientBank> bank = services_.create_client_bank();
  try {
    bank->BeginExport(end_date, end_date);
  } catch (const ComError& error) {
    // Nothing began (the target dialog was cancelled or failed): no run to end.
    ShowErrorBox(error);
    ShowOutcome(QStringLiteral("Eksportas neįvyko."));
    return;
  }
  int local = 0;
  int foreign = 0;
  try {
    for (PaymentDocument& entry : docs) {
      int32_t doc_type = entry.doc_type;
      bank->ExportDoc(doc_type, entry.doc);
      ++(entry.doc_type == kLocalPayment ? local : foreign);
    }
    bool end_by_error = false;
    bank->EndExport(end_by_error);
  } catch (const ComError& error) {
    ShowErrorBox(error);
    bool end_by_error = true;
    try {
      bank->EndExport(end_by_error);
    } catch (const ComError& again) {
      ShowErrorBox(again);
    }
    ShowOutcome(QStringLiteral("Eksportas nutrauktas; failai paversti atsarginėmis kopijomis."));
    return;
  }
  if (local > 0) NoteFileWritten(export_folder_, dp_name_);
  if (foreign > 0) NoteFileWritten(export_folder_, fp_name_);
  ShowOutcome(
      QStringLiteral("Eksportuota mokėjimų: vietinių %1, valiutinių %2.").arg(local).arg(foreign));
}

void HostWindow::NoteFileWritten(const std::u16string& folder, const std::u16string& name) {
  const QString path = DiskPath(folder, name);
  const QFileInfo info(path);
  if (!info.exists()) return;
  files_->insertRow(0);
  SetRow(files_, 0,
         {path, QString::number(CountLines(path)), QString::number(info.size()),
          info.lastModified().toString(QStringLiteral("yyyy.MM.dd HH:mm:ss"))},
         {1, 2});
  FitColumns(files_);
}

void HostWindow::ImportStatement(const QString& account) {
  statement_file_.clear();
  std::shared_ptr<IClientBank> bank = services_.create_client_bank();
  StHead head;
  head.Account = account.toStdU16String();
  std::vector<StatementDoc> docs;
  bool accepted = false;
  try {
    bank->BeginImport(head);
    accepted = bank->BeginImportByAccount(head);
    if (accepted) {
      StatementDoc doc;
      while (bank->ImportDoc(doc)) {
        // Kind 3 is nothing to import: the end marker or a line of another account.
        if (doc.DocKind != kDocNone) docs.push_back(doc);
        doc = StatementDoc{};
      }
    }
    bank->EndImport();
  } catch (const ComError& error) {
    ShowErrorBox(error);
    try {
      bank->EndImport();
    } catch (const ComError& again) {
      ShowErrorBox(again);
    }
    ShowOutcome(QStringLiteral("Importas nutrauktas."));
    return;
  }
  if (!accepted) {
    ShowOutcome(QStringLiteral("Nieko neimportuota: išrašas nepasirinktas arba jame nėra "
                               "sąskaitos %1 eilučių.")
                    .arg(account));
    return;
  }
  hostkit::StatementStore store(services_.host->database());
  services_.host->database()->Transaction([&] {
    for (const StatementDoc& doc : docs) store.Add(statement_file_, head.Account, doc);
  });
  RefreshResults();
  ShowOutcome(QStringLiteral("Importuota dokumentų: %1 (sąskaita %2, %3 – %4).")
                  .arg(docs.size())
                  .arg(account, Text(head.DateFrom), Text(head.DateTo)));
}

void HostWindow::LoadRates() {
  std::shared_ptr<IClientBank> bank = services_.create_client_bank();
  try {
    bank->LoadRate();
  } catch (const ComError& error) {
    ShowErrorBox(error);
  }
  RefreshResults();
  ShowOutcome(QStringLiteral("Valiutų kursų knygoje įrašų: %1.").arg(rates_->rowCount()));
}

void HostWindow::RefreshResults() {
  hostkit::StatementStore store(services_.host->database());
  const std::vector<hostkit::StoredStatementDoc> stored = store.List();
  documents_->setRowCount(static_cast<int>(stored.size()));
  for (int row = 0; row < static_cast<int>(stored.size()); ++row) {
    const StatementDoc& doc = stored[row].doc;
    SetRow(documents_, row,
           {Q(doc.ClientAccount), Q(doc.DocNumber), Text(doc.OpDate),
            doc.IsDebit ? QStringLiteral("D") : QStringLiteral("K"), Money(doc.Amount),
            Q(doc.CurrencyCode), Q(doc.CorrCode), Q(doc.CorrAccount), Q(doc.CorrBankName),
            Q(doc.Comment)},
           {4});
  }
  FitColumns(documents_);

  const hostkit::BookSpec* rates_book = hostkit::FindBook(u"REFCurrencyRate");
  std::vector<hostkit::BookRecord> rates;
  if (rates_book != nullptr)
    rates = hostkit::BookStore(services_.host->database()).List(*rates_book);
  rates_->setRowCount(static_cast<int>(rates.size()));
  for (int row = 0; row < static_cast<int>(rates.size()); ++row) {
    hostkit::BookRecord& record = rates[row];
    SetRow(rates_, row,
           {Text(record[u"CurrencyCode"]), Text(record[u"RateTypeCode"]), Text(record[u"DateRate"]),
            Rate(record[u"Rate"])},
           {3});
  }
  FitColumns(rates_);
}

int RunGui(int& argc, char** argv, const GuiServices& services) {
  std::unique_ptr<QApplication> app;
  if (qApp == nullptr) app = std::make_unique<QApplication>(argc, argv);
  QApplication::setApplicationDisplayName(QStringLiteral("clientbank"));
  QtUiServices ui(DatabaseBooks(services.host->database()));
  ui.InstallInto(*services.host);
  int status = 0;
  {
    HostWindow window(services, ui);
    window.show();
    status = QApplication::exec();
  }
  QtUiServices::UninstallFrom(*services.host);
  return status;
}

}  // namespace norv::qt
