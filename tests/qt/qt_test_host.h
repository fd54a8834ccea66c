// The host of the on-screen tests: the recording host for books, texts,
// messages and errors, with the screen's parts in place of the scripted ones:
// the Qt forms driver, the Qt folder choice and the Qt file-open dialog. A test
// queues users (code that works a dialog as a person would, with QTest keys and
// clicks) and answers for the file dialogs.
#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>

#include "host/host_library.h"
#include "hostkit/default_host.h"
#include "qt/form_dialog.h"
#include "qt/qt_ui_services.h"
#include "support/recording_host.h"

#include <gtest/gtest.h>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace norv::qttest {

using User = std::function<void(qt::FormDialog& dialog)>;
using FileAnswer = std::function<bool(QFileDialog& dialog)>;

// Works the shows of a Qt forms driver with queued users and answers the file
// dialogs of the Qt services with queued answers. A show without a user, a form
// its user left on screen (then closed so the test goes on) and a user or
// answer left over at the end fail the test.
class ScreenUser {
 public:
  ~ScreenUser() { EXPECT_TRUE(users_.empty() && file_answers_.empty()) << "left unused"; }
  // From now on the driver's shows go to this object's users.
  void Attach(qt::QtFormsDriver& driver);
  // The runner to give the Qt folder choice and file-open dialog.
  qt::FileDialogRunner FileRunner();
  void QueueUser(User user) { users_.push_back(std::move(user)); }
  // The answer to the next folder choice or file-open dialog.
  void QueueFileAnswer(FileAnswer answer) { file_answers_.push_back(std::move(answer)); }

 private:
  std::deque<User> users_;
  std::deque<FileAnswer> file_answers_;
};

// The default host on a database in a temporary folder, its console kept, with
// the screen's forms driver, folder choice, file-open dialog and message boxes,
// whose shows and file dialogs queued users and answers work.
class ScreenTest : public ::testing::Test {
 protected:
  ScreenTest() {
    hostkit::DefaultHost::Options options;
    options.database_path = folder_.File("clientbank.db");
    options.out = options.err = &console_;
    host_ = std::make_shared<hostkit::DefaultHost>(options);
    host::HostLibrary::Install(host_);
    ui_ = std::make_unique<qt::QtUiServices>(qt::DatabaseBooks(host_->database()),
                                             user_.FileRunner());
    ui_->InstallInto(*host_);
    user_.Attach(ui_->driver());
  }
  ~ScreenTest() override {
    qt::QtUiServices::UninstallFrom(*host_);
    host::HostLibrary::Install(nullptr);
  }

  testing::TempFolder folder_;
  std::ostringstream console_;
  std::shared_ptr<hostkit::DefaultHost> host_;
  ScreenUser user_;
  std::unique_ptr<qt::QtUiServices> ui_;
};

inline QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }

// The path of `name` in `folder` as the component writes it: "\" between the parts.
inline std::u16string ComponentPath(const testing::TempFolder& folder, const std::u16string& name) {
  std::u16string path = folder.u16path() + u"/" + name;
  std::replace(path.begin(), path.end(), u'/', u'\\');
  return path;
}

// User steps, as a person does them.
// Replaces the box's text by typing `text` (select all, then keys).
void TypeInto(qt::FormDialog& dialog, const char16_t* control, const QString& text);
void ClickOn(qt::FormDialog& dialog, const char16_t* control);
// Toggles a check box with the space bar.
void Toggle(qt::FormDialog& dialog, const char16_t* control);
// Picks the entry of `code` ("" for none) with the arrow keys.
void PickCode(qt::FormDialog& dialog, const char16_t* control, const QString& code);
void PressKey(qt::FormDialog& dialog, Qt::Key key);

QString TextOf(qt::FormDialog& dialog, const char16_t* control);

// Saves a picture of the widget as <binary dir>/screenshots/<name>.png.
void SaveScreenshot(QWidget& widget, const QString& name);

// Checks the dialog as laid out against tests/data/qt_forms/<name>.txt, checks that
// every caption has the room it asks for and that the form's font is used, and
// saves its screenshot.
void CheckLayout(qt::FormDialog& dialog, const QString& name);

// Runs `act` on the next modal dialog of type T (named `name` when one is given)
// that comes up within a few seconds.
template <typename T>
void OnNextModal(std::function<void(T&)> act, const QString& name = QString()) {
  auto* timer = new QTimer(qApp);
  auto waited = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, waited, act, name] {
    auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
    const bool up =
        modal != nullptr && modal->isVisible() && (name.isEmpty() || modal->objectName() == name);
    if (!up && ++*waited <= 300) return;
    if (!up) ADD_FAILURE() << "no dialog came up";
    timer->stop();
    timer->deleteLater();
    if (up) act(*modal);
  });
  timer->start(10);
}

// Answers the next message box that comes up (within a few seconds) by pressing
// its default button; its text, title and icon are kept for the test.
struct SeenMessage {
  bool seen = false;
  QString title, text, informative;
  int icon = 0;  // QMessageBox::Icon
  QStringList buttons;
};
void AnswerNextMessageBox(SeenMessage& seen, const QString& screenshot = QString());

}  // namespace norv::qttest
