// QtUiServices: the screen's user interface for the embedded default host. It
// holds the Qt forms driver, folder choice and file-open dialog, and puts them,
// with Qt message boxes and error boxes, into a DefaultHost in place of its
// console and scripted services. A QApplication must exist while they are used.
//
//   qt::QtUiServices ui(*host);   // lists host combos from the host's books
//   ui.InstallInto(*host);
#pragma once

#include <memory>

#include "hostkit/default_host.h"
#include "qt/form_dialog.h"
#include "qt/qt_file_dialogs.h"
#include "qt/qt_forms_driver.h"

namespace norv::qt {

// Entries of a book of the default host's database, as host combos list them:
// the "Code" and "Name" fields, in key order.
BookLister DatabaseBooks(std::shared_ptr<hostkit::Database> db);

class QtUiServices {
 public:
  explicit QtUiServices(BookLister books, FileDialogRunner runner = ExecFileDialog);

  // Makes `host` use the screen: forms driver, folder choice, file-open dialog,
  // message windows, the busy cursor and the report of pending errors.
  void InstallInto(hostkit::DefaultHost& host);
  // Gives `host` back its console and scripted services.
  static void UninstallFrom(hostkit::DefaultHost& host);

  QtFormsDriver& driver() { return *driver_; }
  QtFolderBrowser& folders() { return *folders_; }
  QtFileOpenDialog& files() { return *files_; }
  // How the file dialogs of the host program itself are run.
  const FileDialogRunner& runner() const { return runner_; }

 private:
  FileDialogRunner runner_;
  std::shared_ptr<QtFormsDriver> driver_;
  std::shared_ptr<QtFolderBrowser> folders_;
  std::shared_ptr<QtFileOpenDialog> files_;
};

}  // namespace norv::qt
