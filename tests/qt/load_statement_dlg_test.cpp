// LoadStatementDlg on screen: the statement file picked through the file-open
// dialog or typed, the credit-side option ticked, OK opening the file, a
// missing file reported with the dialog kept up, Cancel and the close box.
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>

#include <gtest/gtest.h>

#include "import/load_statement_dlg.h"
#include "qt_test_host.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace norv::qttest {
namespace {

class LoadStatementDlgQtTest : public DialogTest {
 protected:
  void SetUp() override {
    rec().SetPathKey(u"RazizeRuveRO", folder_.u16path());
    folder_.WriteBytes("išrašas.txt", "pirma eilut\xEB\r\nGALAS\r\n");
    key_ = u"RazizeRuveRO";
    dlg_.Init(key_, u"", true);
  }

  std::u16string key_;
  LoadStatementDlg dlg_;
};

TEST_F(LoadStatementDlgQtTest, PicksTheFileTicksTheOptionAndOpensOnEnter) {
  qt().QueueFileAnswer([&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), Q(rec().Text(986)));
    EXPECT_EQ(dialog.nameFilters(), QStringList{Q(rec().Text(985)) + QStringLiteral(" (*.*)")});
    EXPECT_EQ(dialog.directory().absolutePath(), Q(folder_.u16path()));
    dialog.selectFile(Q(folder_.u16path()) + QStringLiteral("/išrašas.txt"));
    return true;
  });
  qt().QueueUser([&](qt::FormDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), Q(rec().Text(4000)));
    auto* frame = qobject_cast<QGroupBox*>(dialog.WidgetFor(u"Frame1"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), Q(rec().Text(4001)));
    EXPECT_EQ(dialog.WidgetFor(u"edImpFile")->parentWidget(), frame);
    EXPECT_EQ(TextOf(dialog, u"btSelectDPFile"), u"Books");
    auto* check = qobject_cast<QCheckBox*>(dialog.WidgetFor(u"chCreateKreditDoc"));
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->isVisible());  // Init asked for it
    EXPECT_EQ(check->text(), Q(rec().Text(4026)));
    EXPECT_GE(check->width(), check->sizeHint().width());  // the long caption is not cut

    ClickOn(dialog, u"btSelectDPFile");
    EXPECT_EQ(TextOf(dialog, u"edImpFile"), Q(ComponentPath(folder_, u"išrašas.txt")));
    Toggle(dialog, u"chCreateKreditDoc");
    SaveScreenshot(dialog, QStringLiteral("LoadStatementDlg"));
    PressKey(dialog, Qt::Key_Return);
  });
  dlg_.ShowModal();
  EXPECT_EQ(dlg_.ResultText(), ComponentPath(folder_, u"išrašas.txt"));
  EXPECT_EQ(dlg_.chCreateKreditDoc.Value(), 1);
  EXPECT_EQ(dlg_.ImpFile().FileName(), u"išrašas.txt");
  std::u16string line;
  ASSERT_TRUE(dlg_.ImpFile().ReadStr(line));
  EXPECT_EQ(line, u"pirma eilutė");
  EXPECT_TRUE(rec().Errors().empty());
}

TEST_F(LoadStatementDlgQtTest, MissingFileIsReportedAndTheDialogStaysUp) {
  const std::u16string start = dlg_.edImpFile.Text();
  qt().QueueFileAnswer([](QFileDialog&) { return false; });
  qt().QueueUser([&](qt::FormDialog& dialog) {
    ClickOn(dialog, u"btSelectDPFile");  // a cancelled choice leaves the box
    EXPECT_EQ(TextOf(dialog, u"edImpFile"), Q(start));
    TypeInto(dialog, u"edImpFile", Q(ComponentPath(folder_, u"nėra.txt")));
    ClickOn(dialog, u"btOk");
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(rec().Errors().size(), 1u);
    EXPECT_EQ(rec().Errors()[0].number, kErrFileNotFound);
    EXPECT_EQ(rec().Errors()[0].source, u"LoadStatementDlg::btOk_Click");
    // The user corrects the name and tries again.
    TypeInto(dialog, u"edImpFile", Q(ComponentPath(folder_, u"išrašas.txt")));
    ClickOn(dialog, u"btOk");
  });
  dlg_.ShowModal();
  EXPECT_EQ(rec().Errors().size(), 1u);
  EXPECT_EQ(dlg_.ResultText(), ComponentPath(folder_, u"išrašas.txt"));
}

TEST_F(LoadStatementDlgQtTest, CloseBoxUnloadsTheDialog) {
  qt().QueueUser([&](qt::FormDialog& dialog) {
    TypeInto(dialog, u"edImpFile", Q(ComponentPath(folder_, u"išrašas.txt")));
    dialog.close();
  });
  dlg_.ShowModal();
  EXPECT_FALSE(dlg_.IsLoaded());
  EXPECT_EQ(dlg_.ResultText(), u"");
  EXPECT_THROW(dlg_.ImpFile(), ComError);
}

}  // namespace
}  // namespace norv::qttest
