// HostWindow: the on-screen host program (clientbank --gui). Three actions run
// the component's jobs with its own dialogs on screen: export payment orders
// from a documents file up to an end date, import a statement for an account,
// and load currency rates. Below them, the results: the documents imported so
// far, the current rates of the rate book and the files the exports wrote.
#pragma once

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/client_bank.h"
#include "core/records.h"
#include "hostkit/default_host.h"
#include "qt/qt_ui_services.h"
#include "runtime/date.h"

class QLabel;
class QTableWidget;

namespace norv::qt {

struct PaymentDocument {
  int32_t doc_type = 0;
  PaymentDoc doc;
};

// What the program gives the window.
struct GuiServices {
  hostkit::DefaultHost* host = nullptr;
  // A new component object, created the way the program loads the component.
  std::function<std::shared_ptr<IClientBank>()> create_client_bank;
  // The payment documents of a documents file (the program's JSON format);
  // raises ComError for a file it cannot read.
  std::function<std::vector<PaymentDocument>(const std::string& path)> read_payment_docs;
};

class HostWindow : public QMainWindow {
 public:
  // `ui` must be installed into the host and outlive the window.
  HostWindow(GuiServices services, QtUiServices& ui, QWidget* parent = nullptr);
  ~HostWindow() override;

  // The three jobs, as the actions run them after asking for their inputs.
  // Each shows the component's dialog, then refreshes the results. A failure
  // the component raises is shown in an error box.
  void ExportPayments(const QString& docs_file, Date end_date);
  void ImportStatement(const QString& account);
  void LoadRates();

  // Reloads the imported documents and the current rates from the database.
  void RefreshResults();

  QTableWidget* documents_table() const { return documents_; }
  QTableWidget* rates_table() const { return rates_; }
  QTableWidget* files_table() const { return files_; }

 private:
  void AskExport();
  void AskImport();
  void ShowOutcome(const QString& text);
  void NoteFileWritten(const std::u16string& folder, const std::u16string& name);

  GuiServices services_;
  QtUiServices& ui_;
  QTableWidget* documents_ = nullptr;
  QTableWidget* rates_ = nullptr;
  QTableWidget* files_ = nullptr;
  QLabel* outcome_ = nullptr;
  QString last_docs_file_;
  QString last_account_;
  // The export target that the user confirmed in the last SelectFilesDlg.
  std::u16string export_folder_, dp_name_, fp_name_;
  // The statement file that the user opened in the last LoadStatementDlg.
  std::u16string statement_file_;
};

// Runs the on-screen host: a QApplication (unless one exists), the Qt services
// installed into the host, the window, the event loop. Returns the exit status.
int RunGui(int& argc, char** argv, const GuiServices& services);

}  // namespace norv::qt
