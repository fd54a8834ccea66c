// The host's folder choice and the platform's file-open dialog on screen, both
// as a QFileDialog. The dialog is set up here from the component's request and
// then handed to a runner that lets the user choose (exec by default); tests
// give a runner that answers the dialog as a user would.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <QString>

#include "host/file_open_dialog.h"
#include "host/folder_browser.h"

class QFileDialog;

namespace norv::qt {

// Runs a prepared dialog; true when the user chose (accepted), false when cancelled.
using FileDialogRunner = std::function<bool(QFileDialog& dialog)>;

bool ExecFileDialog(QFileDialog& dialog);

// The chosen folder, in the platform's own form; empty when the user chose none.
class QtFolderBrowser : public host::FolderBrowser {
 public:
  explicit QtFolderBrowser(FileDialogRunner runner = ExecFileDialog) : runner_(std::move(runner)) {}
  void SetRunner(FileDialogRunner runner) { runner_ = std::move(runner); }

  std::u16string BrowseForFolder(intptr_t owner_window, const std::u16string& title,
                                 const std::u16string& start) override;

 private:
  FileDialogRunner runner_;
  QString last_folder_;
};

// Title, initial folder, initial name (the buffer up to its first NUL) and the
// one filter "<description> (<pattern>)". The answer is the chosen path with
// "\" separators (the component splits folder and name at the last "\"),
// followed by NULs up to the buffer's length.
class QtFileOpenDialog : public host::FileOpenDialog {
 public:
  explicit QtFileOpenDialog(FileDialogRunner runner = ExecFileDialog)
      : runner_(std::move(runner)) {}
  void SetRunner(FileDialogRunner runner) { runner_ = std::move(runner); }

  std::optional<std::u16string> GetOpenFileName(const host::OpenFileRequest& request) override;

 private:
  FileDialogRunner runner_;
};

}  // namespace norv::qt
