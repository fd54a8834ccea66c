// The screen's host services on their own: a message box with buttons, the
// error box of a guarded slot, the file-open dialog's request and answer, the
// folder choice and the busy cursor.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <stdexcept>
#include <tuple>

#include <gtest/gtest.h>

#include "qt/guarded.h"
#include "qt/qt_file_dialogs.h"
#include "qt/qt_message_window.h"
#include "qt/qt_wait_indicator.h"
#include "qt_test_host.h"
#include "runtime/com_error.h"

namespace norv::qttest {
namespace {

// One button per caption, the default one pressed by Enter (the simple messages
// are the window's tests').
TEST(MessageWindowTest, AMessageWithButtonsAnswersTheOnePressed) {
  SeenMessage seen;
  AnswerNextMessageBox(seen, QStringLiteral("message"));
  qt::QtMessageWindow window;
  EXPECT_EQ(window.ShowMessage(u"Tęsti?", u"Eksportas", u"Taip", u"Ne", u"Atšaukti", u"", 2, 1, 3,
                               u"", u"", u"", 0),
            2);
  EXPECT_EQ(seen.title + seen.buttons.join(u','), QStringLiteral("EksportasTaip,Ne,Atšaukti"));
}

TEST(GuardedTest, ARaisedErrorBecomesAnErrorBox) {
  SeenMessage com, other;
  AnswerNextMessageBox(com);
  EXPECT_FALSE(qt::Guarded([] { throw ComError(53, u"jobs", u"Failas nerastas"); }));
  EXPECT_EQ(std::tuple(com.icon, com.text, com.buttons.join(u',')),
            std::tuple(int(QMessageBox::Critical), QStringLiteral("Failas nerastas"),
                       QStringLiteral("Gerai")));
  EXPECT_TRUE(com.informative.contains(u"53") && com.informative.contains(u"jobs"));
  AnswerNextMessageBox(other);
  EXPECT_FALSE(qt::Guarded([] { throw std::runtime_error("out of range"); }));
  EXPECT_EQ(other.text, QStringLiteral("out of range"));
  EXPECT_TRUE(qt::Guarded([] {}));
}

TEST(WaitIndicatorTest, HoldsTheBusyCursorWhileAlive) {
  ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
  {
    qt::QtWaitIndicator outer;
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    { qt::QtWaitIndicator inner; }
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);  // the outer one still holds it
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(FileDialogsTest, SetUpFromTheRequestAndAnswerTheBufferOrTheFolder) {
  testing::TempFolder folder;
  host::OpenFileRequest request;
  request.title = u"Pasirinkite failą";
  request.initial_dir = folder.u16path() + u"\\";
  request.file_buffer = u"*.txt";
  request.file_buffer.resize(257, u'\0');
  request.filter_description = u"Visi failai";
  request.filter_pattern = u"*.*";
  int calls = 0;
  const auto answer = [&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Pasirinkite failą"));
    EXPECT_EQ(dialog.directory().absolutePath(), Q(folder.u16path()));
    if (dialog.fileMode() == QFileDialog::Directory) {
      EXPECT_TRUE(dialog.testOption(QFileDialog::ShowDirsOnly));
      dialog.selectFile(Q(folder.u16path()));
    } else {
      EXPECT_EQ(dialog.nameFilters(), QStringList{QStringLiteral("Visi failai (*.*)")});
      // The buffer's text up to its NUL is the initial name.
      EXPECT_TRUE(dialog.selectedFiles().value(0).endsWith(QStringLiteral("*.txt")));
      dialog.selectFile(Q(folder.u16path()) + QStringLiteral("/kursai 1.txt"));
    }
    return ++calls <= 2;
  };
  qt::QtFileOpenDialog files(answer);
  auto chosen = files.GetOpenFileName(request);
  ASSERT_TRUE(chosen.has_value());
  ASSERT_EQ(chosen->size(), 257u);
  const std::u16string expected = ComponentPath(folder, u"kursai 1.txt");
  EXPECT_EQ(chosen->substr(0, chosen->find(u'\0')), expected);
  EXPECT_EQ(chosen->find_first_not_of(u'\0', expected.size()), std::u16string::npos);
  qt::QtFolderBrowser folders(answer);
  EXPECT_EQ(folders.BrowseForFolder(0, u"Pasirinkite failą", folder.u16path()), folder.u16path());
  EXPECT_EQ(folders.BrowseForFolder(0, u"Pasirinkite failą", folder.u16path()), u"");
  EXPECT_FALSE(files.GetOpenFileName(request).has_value());
}

}  // namespace
}  // namespace norv::qttest
