// The screen's host services on their own: message boxes (the error box:
// guarded_test), the file-open dialog's request and answer, the folder choice
// and the busy cursor.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <gtest/gtest.h>

#include "qt/qt_file_dialogs.h"
#include "qt/qt_message_window.h"
#include "qt/qt_wait_indicator.h"
#include "qt_test_host.h"

namespace norv::qttest {
namespace {

struct MessageCase {
  const char* name;
  int32_t kind;
  QMessageBox::Icon icon;
};

class MessageWindowTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(MessageWindowTest, ShowsOneGeraiButtonWithTheIconOfTheKind) {
  SeenMessage seen;
  const std::u16string text = u"Nepavyko atidaryti failo:\r\nC:\\Išrašai\\banko išrašas.txt";
  AnswerNextMessageBox(
      seen, GetParam().kind == host::kMessageError ? QStringLiteral("message") : QString());
  qt::QtMessageWindow window;
  EXPECT_EQ(host::ShowSimpleMessage(window, text, GetParam().kind), 1);
  ASSERT_TRUE(seen.seen);
  EXPECT_EQ(seen.text, QString::fromStdU16String(text));
  EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("Gerai")});
  EXPECT_EQ(seen.icon, GetParam().icon);
  EXPECT_EQ(seen.title, QApplication::applicationDisplayName());
}

INSTANTIATE_TEST_SUITE_P(Kinds, MessageWindowTest,
                         ::testing::Values(MessageCase{"Information", host::kMessageInformation,
                                                       QMessageBox::Information},
                                           MessageCase{"Error", host::kMessageError,
                                                       QMessageBox::Critical}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MessageWindowButtonsTest, AnswersTheNumberOfTheButtonPressed) {
  SeenMessage seen;
  AnswerNextMessageBox(seen);  // presses the default button
  qt::QtMessageWindow window;
  EXPECT_EQ(window.ShowMessage(u"Tęsti?", u"Eksportas", u"Taip", u"Ne", u"Atšaukti", u"", 2, 1, 3,
                               u"", u"", u"", 0),
            2);
  EXPECT_EQ(seen.title, QStringLiteral("Eksportas"));
  EXPECT_EQ(seen.buttons.size(), 3);
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

host::OpenFileRequest Request(const std::u16string& dir, const std::u16string& initial) {
  host::OpenFileRequest request;
  request.title = u"Pasirinkite failą";
  request.initial_dir = dir;
  request.file_buffer = initial;
  request.file_buffer.resize(257, u'\0');
  request.filter_description = u"Visi failai";
  request.filter_pattern = u"*.*";
  return request;
}

TEST(FileOpenDialogTest, SetsUpTheDialogFromTheRequestAndAnswersTheBuffer) {
  testing::TempFolder folder;
  std::u16string component_dir = folder.u16path() + u"\\";
  qt::QtFileOpenDialog files([&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Pasirinkite failą"));
    EXPECT_EQ(dialog.nameFilters(), QStringList{QStringLiteral("Visi failai (*.*)")});
    EXPECT_EQ(dialog.directory().absolutePath(), QString::fromStdU16String(folder.u16path()));
    // The buffer's text up to its NUL is the initial name.
    EXPECT_TRUE(dialog.selectedFiles().value(0).endsWith(QStringLiteral("*.txt")));
    dialog.selectFile(QString::fromStdU16String(folder.u16path()) +
                      QStringLiteral("/kursai 1.txt"));
    return true;
  });
  auto answer = files.GetOpenFileName(Request(component_dir, u"*.txt"));
  ASSERT_TRUE(answer.has_value());
  ASSERT_EQ(answer->size(), 257u);
  std::u16string expected = folder.u16path() + u"/kursai 1.txt";
  for (char16_t& c : expected) {
    if (c == u'/') c = u'\\';
  }
  EXPECT_EQ(answer->substr(0, answer->find(u'\0')), expected);
  EXPECT_EQ(answer->find_first_not_of(u'\0', expected.size()), std::u16string::npos);
  qt::QtFileOpenDialog cancelled([](QFileDialog&) { return false; });
  EXPECT_FALSE(cancelled.GetOpenFileName(Request(u"C:\\", u"")).has_value());
}

TEST(FolderBrowserTest, AnswersTheChosenFolderOrNothing) {
  testing::TempFolder folder;
  int calls = 0;
  qt::QtFolderBrowser folders([&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Pasirinkite katalogą"));
    EXPECT_TRUE(dialog.testOption(QFileDialog::ShowDirsOnly));
    dialog.selectFile(QString::fromStdU16String(folder.u16path()));
    return ++calls == 1;
  });
  EXPECT_EQ(folders.BrowseForFolder(0, u"Pasirinkite katalogą", u""), folder.u16path());
  EXPECT_EQ(folders.BrowseForFolder(0, u"Pasirinkite katalogą", u""), u"");
}

}  // namespace
}  // namespace norv::qttest
