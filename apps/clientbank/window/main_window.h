// MainWindow: the window of clientbank --gui. Three actions run the jobs with
// the component's dialogs on screen: export payment orders from a payments
// file up to an end date, import a statement for an account, load currency
// rates. While a job runs, a bar at the foot shows how far it has come and
// offers Cancel. Below the actions, the results as views over models: the
// documents stored so far, the current rates of the rate book and the files
// the exports of this session wrote.
//
// The window only asks for a job's inputs, runs the job (src/jobs) on its own
// thread, where the component's dialogs come up, and shows what the job tells:
// progress on the bar, errors in error boxes, the outcome in a line above the
// results. No exception leaves one of the window's slots: each is shown in an
// error box.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "core/client_bank.h"
#include "hostkit/default_host.h"
#include "jobs/job_context.h"
#include "qt/qt_ui_services.h"
#include "runtime/date.h"

class QLabel;
class QTableView;

namespace clientbank::window {

class DocumentsModel;
class FilesModel;
class JobProgress;
class RatesModel;

// What the program gives the window.
struct WindowServices {
  norv::hostkit::DefaultHost* host = nullptr;
  // A new component object, created the way the program loads the component.
  std::function<std::shared_ptr<norv::IClientBank>()> create_client_bank;
};

class MainWindow : public QMainWindow {
 public:
  // `ui` must be installed into the host and outlive the window.
  MainWindow(WindowServices services, norv::qt::QtUiServices& ui, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The three jobs, as the actions run them after asking for their inputs.
  // Each shows the component's dialog, runs with the progress bar, then shows
  // the outcome and refreshes the results. None raises: what went wrong is
  // shown in an error box.
  void ExportPayments(const QString& docs_file, norv::Date end_date);
  void ImportStatement(const QString& account);
  void LoadRates();

  // Reads the stored documents and the current rates again.
  void RefreshResults();

  DocumentsModel* documents() const { return documents_; }
  RatesModel* rates() const { return rates_; }
  FilesModel* files() const { return files_; }
  QTableView* documents_view() const { return documents_view_; }
  JobProgress* progress() const { return progress_; }
  QString outcome() const;

 protected:
  // A running job holds the window: closing it then asks the job to stop.
  void closeEvent(QCloseEvent* event) override;

 private:
  void AskExport();
  void AskImport();
  void ShowOutcome(const QString& text);
  // Runs `job` with the actions disabled and the progress bar shown.
  void RunJob(const QString& what, bool can_cancel, const std::function<void()>& job);
  norv::jobs::JobContext Context() const;

  WindowServices services_;
  norv::qt::QtUiServices& ui_;
  DocumentsModel* documents_ = nullptr;
  RatesModel* rates_ = nullptr;
  FilesModel* files_ = nullptr;
  QTableView* documents_view_ = nullptr;
  QTableView* rates_view_ = nullptr;
  QTableView* files_view_ = nullptr;
  QLabel* outcome_ = nullptr;
  QLabel* stored_ = nullptr;
  JobProgress* progress_ = nullptr;
  std::vector<QWidget*> actions_;
  QString last_docs_file_;
  QString last_account_;
};

// Runs the window: a QApplication (unless one exists), the Qt services
// installed into the host, the window, the event loop. Returns the exit status.
int RunWindow(int& argc, char** argv, const WindowServices& services);

}  // namespace clientbank::window
