#include "hostkit/scripted_answers.h"

namespace norv::hostkit {

std::u16string ScriptedFolderBrowser::BrowseForFolder(intptr_t, const std::u16string& title,
                                                      const std::u16string&) {
  titles_.push_back(title);
  if (answers_.empty()) return u"";
  std::u16string folder = std::move(answers_.front());
  answers_.pop_front();
  return folder;
}

std::optional<std::u16string> ScriptedFileDialog::GetOpenFileName(
    const host::OpenFileRequest& request) {
  requests_.push_back(request);
  if (answers_.empty()) return std::nullopt;
  std::optional<std::u16string> path = std::move(answers_.front());
  answers_.pop_front();
  if (!path || path->empty()) return std::nullopt;
  size_t buffer = request.file_buffer.size();
  if (buffer == 0) buffer = 257;
  if (path->size() >= buffer) return std::nullopt;
  std::u16string answer = *path;
  answer.resize(buffer, u'\0');
  return answer;
}

}  // namespace norv::hostkit
