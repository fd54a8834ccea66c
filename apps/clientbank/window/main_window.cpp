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
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include "check_dialogs.h"
#include "documents_model.h"
#include "job_progress.h"
#include "jobs/export_job.h"
#include "jobs/import_job.h"
#include "jobs/rates_job.h"
#include "qt/form_dialog.h"
#include "qt/guarded.h"
#include "qt/qt_message_window.h"
#include "qt/qt_text.h"
#include "runtime/com_error.h"
#include "runtime/variant.h"
#include "table_models.h"

namespace clientbank::window {
namespace {

using norv::qt::Q;

using norv::ComError;
using norv::qt::Guarded;

QString Text(const norv::Variant& value) { return Q(norv::VariantToText(value)); }
// Counts grouped as a Lithuanian reader expects: 1 000 000.
QString Count(int64_t n) {
  return QLocale(QLocale::Lithuanian, QLocale::Lithuania).toString(static_cast<qlonglong>(n));
}

// The program's own captions.
const QString kTitle = QStringLiteral("clientbank – kliento-banko mainai");
const QString kExportAction = QStringLiteral("Eksportuoti mokėjimus…");
const QString kImportAction = QStringLiteral("Importuoti išrašą…");
const QString kRatesAction = QStringLiteral("Įkelti valiutų kursus…");
const QString kOk = QStringLiteral("Gerai");
const QString kCancel = QStringLiteral("Atšaukti");

// Columns as wide as the rows in view need, the last one taking the rest.
void FitColumns(QTableView* view) {
  view->resizeColumnsToContents();
  view->horizontalHeader()->setStretchLastSection(false);
  view->horizontalHeader()->setStretchLastSection(true);
}

// What a job tells the window while it runs: progress goes to the bar, each
// error at once into an error box (the job then ends in its own way, and the
// component's own notice of the backups follows it), the problems of a check
// into a list, the files a failed run left into the outcome line. Cancel comes
// from the bar; a rate load's changes are put to the user to keep or undo.
class WindowEvents : public norv::jobs::JobEvents {
 public:
  WindowEvents(JobProgress& progress, QWidget* owner) : progress_(progress), owner_(owner) {}

  bool WantsProgress() override { return true; }
  void Progress(norv::jobs::ProgressUnit, uint64_t done, uint64_t total) override {
    progress_.Report(static_cast<int64_t>(done), static_cast<int64_t>(total));
  }
  void Notice(norv::jobs::NoticeKind kind, const std::string& text) override {
    if (kind == norv::jobs::NoticeKind::kLeftOnDisk) left_on_disk << QString::fromStdString(text);
  }
  void Error(const ComError& error) override { norv::qt::ShowErrorBox(error); }
  void PaymentProblem(const norv::jobs::PaymentProblem& problem) override {
    problems.push_back(problem);
  }
  bool KeepRateChanges(const std::vector<norv::jobs::RateChange>& changes) override {
    return AskKeepRateChanges(owner_, changes);
  }
  bool CancelRequested() override { return progress_.cancel_requested(); }

  QStringList left_on_disk;
  std::vector<norv::jobs::PaymentProblem> problems;

 private:
  JobProgress& progress_;
  QWidget* owner_;
};

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

  documents_view_ = MakeTableView(documents_);
  rates_view_ = MakeTableView(rates_);
  files_view_ = MakeTableView(files_);
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
  lower->addWidget(titled(QStringLiteral("Valiutų kursai"), rates_view_));
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

  Guarded([this] { RefreshResults(); });
}

MainWindow::~MainWindow() = default;

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

void MainWindow::RunJob(const QString& what, bool can_cancel, const std::function<void()>& job) {
  if (progress_->running()) return;
  for (QWidget* action : actions_) action->setEnabled(false);
  progress_->Begin(what, can_cancel);
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
  RunJob(QStringLiteral("Eksportuojami mokėjimai"), true, [&] {
    const std::string file = docs_file.toStdString();
    // The check first, so that its problems are listed before the target dialog.
    WindowEvents check(*progress_, this);
    const norv::jobs::ExportResult checked = norv::jobs::RunExport(
        Context(), {.end_date = end_date, .docs_file = file, .check_only = true}, check);
    if (checked.status != norv::jobs::JobStatus::kDone && check.problems.empty()) {
      ShowOutcome(
          QStringLiteral("Eksportas nutrauktas dėl klaidos; failai nebuvo pradėti rašyti."));
      return;
    }
    if (!check.problems.empty() && !ShowPaymentProblems(this, check.problems)) {
      ShowOutcome(checked.problem_errors > 0
                      ? QStringLiteral("Eksportas neįvyko: mokėjimuose rasta klaidų: %1, "
                                       "įspėjimų: %2.")
                            .arg(Count(checked.problem_errors), Count(checked.problem_warnings))
                      : QStringLiteral("Eksportas atšauktas dėl įspėjimų."));
      return;
    }
    WindowEvents events(*progress_, this);
    const norv::jobs::ExportResult result =
        norv::jobs::RunExport(Context(), {.end_date = end_date, .docs_file = file}, events);
    for (const std::string* path : {&result.dp_path, &result.fp_path}) {
      if (!path->empty()) files_->Add(QString::fromStdString(*path));
    }
    FitColumns(files_view_);
    if (result.status == norv::jobs::JobStatus::kDone) {
      ShowOutcome(QStringLiteral("Eksportuota mokėjimų: vietinių %1, valiutinių %2.")
                      .arg(Count(result.local), Count(result.foreign)));
      return;
    }
    QString outcome = result.cancelled ? QStringLiteral("Eksportas atšauktas")
                                       : QStringLiteral("Eksportas nutrauktas dėl klaidos");
    if (!events.left_on_disk.isEmpty()) {
      outcome += QStringLiteral("; įrašyti failai paversti atsarginėmis kopijomis: ") +
                 events.left_on_disk.join(QStringLiteral(", "));
    } else if (result.folder.empty()) {
      outcome += QStringLiteral("; failai nebuvo pradėti rašyti");
    }
    ShowOutcome(outcome + u'.');
  });
}

void MainWindow::ImportStatement(const QString& account) {
  RunJob(QStringLiteral("Importuojamas išrašas"), true, [&] {
    WindowEvents events(*progress_, this);
    const norv::jobs::ImportResult result =
        norv::jobs::RunImport(Context(), {account.toStdU16String()}, events);
    switch (result.status) {
      case norv::jobs::JobStatus::kDone:
        ShowOutcome(
            QStringLiteral("Importuota dokumentų: %1 (sąskaita %2, %3 – %4).")
                .arg(Count(result.stored), account, Text(result.head.DateFrom),
                     Text(result.head.DateTo)) +
            (result.already_imported > 0
                 ? QStringLiteral(" Jau importuotų anksčiau ir neišsaugotų dar kartą: %1.")
                       .arg(Count(result.already_imported))
                 : QString()) +
            (!result.overlapping.empty()
                 ? QStringLiteral(" Išrašo laikotarpis sutampa su ankstesniais importais: %1.")
                       .arg(Count(static_cast<int64_t>(result.overlapping.size())))
                 : QString()));
        break;
      case norv::jobs::JobStatus::kNothingDone:
        ShowOutcome(QStringLiteral("Nieko neimportuota: išrašas nepasirinktas arba jame nėra "
                                   "sąskaitos %1 eilučių.")
                        .arg(account));
        break;
      case norv::jobs::JobStatus::kFailed:
        ShowOutcome(result.cancelled
                        ? QStringLiteral("Importas atšauktas; neišsaugotas nė vienas dokumentas.")
                        : QStringLiteral("Importas nutrauktas dėl klaidos; neišsaugotas nė vienas "
                                         "dokumentas."));
        break;
    }
  });
}

void MainWindow::LoadRates() {
  // The component's LoadRate cannot stop midway; what it changed can still be
  // undone in the list of changes at its end.
  RunJob(QStringLiteral("Įkeliami valiutų kursai"), false, [&] {
    WindowEvents events(*progress_, this);
    // The dialog may stay open for minutes: no write lock while the user chooses.
    const norv::jobs::RatesResult result =
        norv::jobs::RunRates(Context(), {.write_lock_from_start = false}, events);
    if (result.status == norv::jobs::JobStatus::kDone && !result.kept) {
      ShowOutcome(QStringLiteral("Valiutų kursų įkėlimas atšauktas; kursų knyga nepakeista."));
      return;
    }
    ShowOutcome(
        result.status == norv::jobs::JobStatus::kDone
            ? QStringLiteral("Valiutų kursų knygoje įrašų: %1.").arg(Count(result.rates_in_book))
            : QStringLiteral("Valiutų kursai neįkelti."));
  });
}

norv::jobs::JobContext MainWindow::Context() const {
  return norv::jobs::JobContext{*services_.host, services_.create_client_bank};
}

void MainWindow::RefreshResults() {
  documents_->Reload();
  stored_->setText(QStringLiteral("Iš viso dokumentų: %1").arg(Count(documents_->stored())));
  FitColumns(documents_view_);
  rates_->Reload();
  FitColumns(rates_view_);
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
