// The folder choice and the file-open dialog of a batch run: answered from a
// queue that the program fills from its options, in order. An empty queue
// answers as a user who cancels.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "host/file_open_dialog.h"
#include "host/folder_browser.h"

namespace norv::hostkit {

class ScriptedFolderBrowser : public host::FolderBrowser {
 public:
  void Queue(std::u16string folder) { answers_.push_back(std::move(folder)); }
  std::u16string BrowseForFolder(intptr_t owner_window, const std::u16string& title,
                                 const std::u16string& start) override;
  // The titles the choice was shown with, in order.
  const std::vector<std::u16string>& Titles() const { return titles_; }

 private:
  std::deque<std::u16string> answers_;
  std::vector<std::u16string> titles_;
};

class ScriptedFileDialog : public host::FileOpenDialog {
 public:
  // nullopt or "" answers as Cancel.
  void Queue(std::optional<std::u16string> path) { answers_.push_back(std::move(path)); }
  // The chosen path followed by NULs up to the request's buffer; a path that
  // does not fit the buffer fails as the platform's dialog does (no choice).
  std::optional<std::u16string> GetOpenFileName(const host::OpenFileRequest& request) override;
  const std::vector<host::OpenFileRequest>& Requests() const { return requests_; }

 private:
  std::deque<std::optional<std::u16string>> answers_;
  std::vector<host::OpenFileRequest> requests_;
};

}  // namespace norv::hostkit
