#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include "documents_model.h"
#include "forms/control.h"
#include "forms/form.h"
#include "hostkit/statement_store.h"
#include "job_progress.h"
#include "qt/form_dialog.h"
#include "qt/guarded.h"
#include "qt/qt_message_window.h"
#include "runtime/com_error.h"
#include "runtime/variant.h"
#include "table_models.h"

namespace clientbank::window {
namespace {

using norv::ComError;
using norv::qt::Guarded;

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }
QString Text(const norv::Variant& value) { return Q(norv::VariantToText(value)); }

// The program's own captions.
const QString kTitle = QStringLiteral("clientbank – kliento-banko mainai");
const QString kExportAction = QStringLiteral("Eksportuoti mokėjimus…");
const QString kImportAction = QStringLiteral("Importuoti išrašą…");
const QString kRatesAction = QStringLiteral("Įkelti valiutų kursus…");
const QString kOk = QStringLiteral("Gerai");
const QString kCancel = QStringLiteral("Atšaukti");

std::u16string TextOf(norv::forms::Form& form, std::u16string_view control) {
  auto* box = dynamic_cast<norv::forms::TextBox*>(form.FindControl(control));
  return box != nullptr ? box->Text() : u"";
}

QTableView* MakeView(QAbstractItemModel* model) {
  auto* view = new QTableView;
  view->setModel(model);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setAlternatingRowColors(true);
  view->setWordWrap(false);
  view->verticalHeader()->setVisible(false);
  // Every row as high as the font: the view then never measures rows, which
  // keeps scrolling through a million of them smooth.
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->horizontalHeader()->setStretchLastSection(true);
  return view;
}

// Columns as wide as the rows in view need, the last one taking the rest.
void FitColumns(QTableView* view) {
  view->resizeColumnsToContents();
  view->horizontalHeader()->setStretchLastSection(false);
  view->horizontalHeader()->setStretchLastSection(true);
}

// A file the component named: its folder with "\" between the parts, and a name.
QString DiskPath(const std::u16string& folder, const std::u16string& name) {
  QString path = Q(folder);
  path.replace(u'\\', u'/');
  if (path.isEmpty()) path = QStringLiteral(".");
  if (!path.endsWith(u'/')) path += u'/';
  return QFileInfo(path + Q(name)).absoluteFilePath();
}

}  // namespace

MainWindow::MainWindow(WindowServices services, norv::qt::QtUiServices& ui, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), ui_(ui) {
  setWindowTitle(kTitle);
  setFont(norv::qt::FormFont(u"Tahoma"));
  documents_ = new DocumentsModel(services_.host->database(), 512, this);
  rates_ = new RatesModel(services_.host->database(), this);
  files_ = new FilesModel(this);

  auto* export_action = new QAction(kExportAction, this);
  auto* import_action = new QAction(kImportAction, this);
  auto* rates_action = new QAction(kRatesAction, this);
  connect(export_action, &QAction::triggered, this, [this] { Guarded([this] { AskExport(); }); });
  connect(import_action, &QAction::triggered, this, [this] { Guarded([this] { AskImport(); }); });
  connect(rates_action, &QAction::triggered, this, [this] { LoadRates(); });
  QMenu* menu = menuBar()->addMenu(QStringLiteral("Veiksmai"));
  menu->addAction(export_action);
  menu->addAction(import_action);
  menu->addAction(rates_action);
  menu->addSeparator();
  menu->addAction(QStringLiteral("Baigti"), this, &QWidget::close);
  actions_.push_back(menu);

  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  auto* buttons = new QHBoxLayout;
  for (QAction* action : {export_action, import_action, rates_action}) {
    auto* button = new QPushButton(action->text());
    button->setObjectName(action->text());
    connect(button, &QPushButton::clicked, action, &QAction::trigger);
    buttons->addWidget(button);
    actions_.push_back(button);
  }
  buttons->addStretch(1);
  layout->addLayout(buttons);

  outcome_ = new QLabel;
  outcome_->setObjectName(QStringLiteral("outcome"));
  outcome_->setWordWrap(true);
  layout->addWidget(outcome_);

  documents_view_ = MakeView(documents_);
  auto* rates_view = MakeView(rates_);
  files_view_ = MakeView(files_);
  // All three results at once: the documents across the top, the rates and the
  // files written side by side below.
  auto titled = [](const QString& title, QWidget* content, QLabel* note = nullptr) {
    auto* box = new QGroupBox(title);
    auto* box_layout = new QVBoxLayout(box);
    if (note != nullptr) box_layout->addWidget(note);
    box_layout->addWidget(content);
    return box;
  };
  stored_ = new QLabel;
  stored_->setObjectName(QStringLiteral("stored"));
  auto* lower = new QSplitter(Qt::Horizontal);
  lower->addWidget(titled(QStringLiteral("Valiutų kursai"), rates_view));
  lower->addWidget(titled(QStringLiteral("Įrašyti failai"), files_view_));
  lower->setStretchFactor(0, 1);
  lower->setStretchFactor(1, 1);
  auto* results = new QSplitter(Qt::Vertical);
  results->addWidget(titled(QStringLiteral("Importuoti dokumentai"), documents_view_, stored_));
  results->addWidget(lower);
  results->setStretchFactor(0, 3);
  results->setStretchFactor(1, 1);
  layout->addWidget(results, 1);
  setCentralWidget(central);

  progress_ = new JobProgress;
  statusBar()->addPermanentWidget(progress_, 1);
  statusBar()->setSizeGripEnabled(false);
  resize(1100, 720);

  // The component's dialogs are the window's only view of what the user chose:
  // the export target and the statement file are read as the dialogs end.
  ui_.driver().SetShowEndObserver([this](norv::forms::Form& form) {
    if (!form.IsLoaded()) return;  // closed by the close box: nothing was chosen
    if (form.Name() == u"SelectFilesDlg") {
      export_folder_ = TextOf(form, u"edPath");
      dp_name_ = TextOf(form, u"edDPFile");
      fp_name_ = TextOf(form, u"edFPFile");
    } else if (form.Name() == u"LoadStatementDlg") {
      statement_file_ = TextOf(form, u"edImpFile");
    }
  });
  Guarded([this] { RefreshResults(); });
}

MainWindow::~MainWindow() { ui_.driver().SetShowEndObserver(nullptr); }

QString MainWindow::outcome() const { return outcome_->text(); }

void MainWindow::ShowOutcome(const QString& text) { outcome_->setText(text); }

void MainWindow::closeEvent(QCloseEvent* event) {
  if (progress_->running()) {
    progress_->cancel_button()->click();
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void MainWindow::RunJob(const QString& what, const std::function<void()>& job) {
  if (progress_->running()) return;
  for (QWidget* action : actions_) action->setEnabled(false);
  progress_->Begin(what);
  Guarded(job);
  progress_->End();
  for (QWidget* action : actions_) action->setEnabled(true);
  Guarded([this] { RefreshResults(); });
}

void MainWindow::AskExport() {
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
  form->addRow(QStringLiteral("Mokėjimų failas (JSON):"), file_row);
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
    Guarded([&] {
      QFileDialog dialog(&ask, QStringLiteral("Mokėjimų failas"),
                         QFileInfo(file->text()).absolutePath());
      dialog.setFileMode(QFileDialog::ExistingFile);
      dialog.setNameFilters(
          {QStringLiteral("JSON (*.json *.jsonl)"), QStringLiteral("Visi failai (*)")});
      if (ui_.runner()(dialog) && !dialog.selectedFiles().isEmpty()) {
        file->setText(dialog.selectedFiles().front());
      }
    });
  });
  if (ask.exec() != QDialog::Accepted) return;
  last_docs_file_ = file->text();
  const QDate end = date->date();
  ExportPayments(last_docs_file_, norv::Date::FromCivil(end.year(), end.month(), end.day()));
}

void MainWindow::AskImport() {
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

void MainWindow::ExportPayments(const QString& docs_file, norv::Date end_date) {
  RunJob(QStringLiteral("Eksportuojami mokėjimai"), [&] { RunExport(docs_file, end_date); });
}

void MainWindow::ImportStatement(const QString& account) {
  RunJob(QStringLiteral("Importuojamas išrašas"), [&] { RunImport(account); });
}

void MainWindow::LoadRates() {
  RunJob(QStringLiteral("Įkeliami valiutų kursai"), [&] { RunRates(); });
}

void MainWindow::RunExport(const QString& docs_file, norv::Date end_date) {
  ShowOutcome(QStringLiteral("Eksportas neįvyko."));
  std::vector<PaymentDocument> docs = services_.read_payment_docs(docs_file.toStdString());
  export_folder_.clear();
  dp_name_.clear();
  fp_name_.clear();
  std::shared_ptr<norv::IClientBank> bank = services_.create_client_bank();
  // Nothing began when this raises (the target dialog was cancelled or failed).
  bank->BeginExport(end_date, end_date);
  int local = 0;
  int foreign = 0;
  try {
    for (PaymentDocument& entry : docs) {
      if (progress_->cancel_requested()) {
        throw ComError(norv::kErrInvalidCall, u"clientbank", u"export cancelled");
      }
      int32_t doc_type = entry.doc_type;
      bank->ExportDoc(doc_type, entry.doc);
      ++(entry.doc_type == norv::kLocalPayment ? local : foreign);
      progress_->Report(local + foreign, static_cast<int64_t>(docs.size()));
    }
    bool end_by_error = false;
    bank->EndExport(end_by_error);
  } catch (const ComError&) {
    ShowOutcome(QStringLiteral("Eksportas nutrauktas; failai paversti atsarginėmis kopijomis."));
    bool end_by_error = true;
    bank->EndExport(end_by_error);
    throw;
  }
  if (local > 0) files_->Add(DiskPath(export_folder_, dp_name_));
  if (foreign > 0) files_->Add(DiskPath(export_folder_, fp_name_));
  FitColumns(files_view_);
  ShowOutcome(
      QStringLiteral("Eksportuota mokėjimų: vietinių %1, valiutinių %2.").arg(local).arg(foreign));
}

void MainWindow::RunImport(const QString& account) {
  ShowOutcome(QStringLiteral("Importas nutrauktas."));
  statement_file_.clear();
  std::shared_ptr<norv::IClientBank> bank = services_.create_client_bank();
  norv::StHead head;
  head.Account = account.toStdU16String();
  std::vector<norv::StatementDoc> docs;
  bool accepted = false;
  try {
    bank->BeginImport(head);
    accepted = bank->BeginImportByAccount(head);
    if (accepted) {
      norv::StatementDoc doc;
      while (bank->ImportDoc(doc)) {
        // Kind 3 is nothing to import: the end marker or a line of another account.
        if (doc.DocKind != norv::kDocNone) docs.push_back(doc);
        doc = norv::StatementDoc{};
        progress_->Report(static_cast<int64_t>(docs.size()), 0);
      }
    }
    bank->EndImport();
  } catch (const ComError&) {
    bank->EndImport();
    throw;
  }
  if (!accepted) {
    ShowOutcome(QStringLiteral("Nieko neimportuota: išrašas nepasirinktas arba jame nėra "
                               "sąskaitos %1 eilučių.")
                    .arg(account));
    return;
  }
  norv::hostkit::StatementStore store(services_.host->database());
  services_.host->database()->Transaction([&] {
    for (const norv::StatementDoc& doc : docs) store.Add(statement_file_, head.Account, doc);
  });
  ShowOutcome(QStringLiteral("Importuota dokumentų: %1 (sąskaita %2, %3 – %4).")
                  .arg(docs.size())
                  .arg(account, Text(head.DateFrom), Text(head.DateTo)));
}

void MainWindow::RunRates() {
  std::shared_ptr<norv::IClientBank> bank = services_.create_client_bank();
  bank->LoadRate();
  rates_->Reload();
  ShowOutcome(QStringLiteral("Valiutų kursų knygoje įrašų: %1.").arg(rates_->rowCount()));
}

void MainWindow::RefreshResults() {
  documents_->Reload();
  stored_->setText(QStringLiteral("Iš viso dokumentų: %L1").arg(documents_->stored()));
  FitColumns(documents_view_);
  rates_->Reload();
}

int RunWindow(int& argc, char** argv, const WindowServices& services) {
  std::unique_ptr<QApplication> app;
  if (qApp == nullptr) app = std::make_unique<QApplication>(argc, argv);
  QApplication::setApplicationDisplayName(QStringLiteral("clientbank"));
  norv::qt::QtUiServices ui(norv::qt::DatabaseBooks(services.host->database()));
  ui.InstallInto(*services.host);
  int status = 0;
  {
    MainWindow window(services, ui);
    window.show();
    status = QApplication::exec();
  }
  norv::qt::QtUiServices::UninstallFrom(*services.host);
  return status;
}

}  // namespace clientbank::window
