#include "qt/qt_file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include "qt/form_dialog.h"
#include "qt/qt_message_window.h"
#include "qt/qt_text.h"

namespace norv::qt {
namespace {

// The component writes folders with "\"; Qt wants the platform's separators.
QString NativeFolder(const std::u16string& folder) {
  QString path = Q(folder);
  path.replace(u'\\', u'/');
  return path;
}

QWidget* OwnerOf(intptr_t owner_window) {
  if (QWidget* dialog = FormDialog::ForWindowHandle(owner_window)) return dialog;
  return CurrentOwnerWindow();
}

// The component's buffer is the initial name followed by NULs.
std::u16string UpToNul(const std::u16string& buffer) {
  return buffer.substr(0, buffer.find(u'\0'));
}

}  // namespace

bool ExecFileDialog(QFileDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

std::u16string QtFolderBrowser::BrowseForFolder(intptr_t owner_window, const std::u16string& title,
                                                const std::u16string& start) {
  QFileDialog dialog(OwnerOf(owner_window), Q(title));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFont(FormFont(u"Tahoma"));
  // The component passes no start folder; the choice starts where the last one
  // ended, or in the user's home folder.
  if (!start.empty()) {
    dialog.setDirectory(NativeFolder(start));
  } else {
    dialog.setDirectory(last_folder_.isEmpty() ? QDir::homePath() : last_folder_);
  }
  if (!runner_(dialog)) return u"";
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return u"";
  last_folder_ = chosen.front();
  return QDir::toNativeSeparators(chosen.front()).toStdU16String();
}

std::optional<std::u16string> QtFileOpenDialog::GetOpenFileName(
    const host::OpenFileRequest& request) {
  QFileDialog dialog(OwnerOf(request.owner_window), Q(request.title));
  // No flags: a name that does not exist yet may be typed, as the platform's
  // dialog allows without OFN_FILEMUSTEXIST.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFont(FormFont(u"Tahoma"));
  dialog.setNameFilter(Q(request.filter_description) + QStringLiteral(" (") +
                       Q(request.filter_pattern) + u')');
  if (!request.initial_dir.empty()) dialog.setDirectory(NativeFolder(request.initial_dir));
  const std::u16string initial_name = UpToNul(request.file_buffer);
  if (!initial_name.empty()) dialog.selectFile(Q(initial_name));
  if (!runner_(dialog)) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;

  QString path = chosen.front();
  path.replace(u'/', u'\\');
  std::u16string answer = path.toStdU16String();
  const size_t size = std::max(request.file_buffer.size(), answer.size());
  answer.resize(size, u'\0');
  return answer;
}

}  // namespace norv::qt
