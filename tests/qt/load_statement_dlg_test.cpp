// LoadStatementDlg on screen, a smoke test: the file picked through the
// file-open dialog, the credit-side option ticked, OK on Enter opening the
// file. Missing files and the close box are the scripted runs' (tests/import)
// and the forms driver's (form_dialog_test).
#include <QFileDialog>

#include <gtest/gtest.h>

#include "import/load_statement_dlg.h"
#include "qt_test_host.h"

namespace norv::qttest {
namespace {

TEST_F(DialogTest, LoadStatementDlgPicksTheFileTicksTheOptionAndOpensOnEnter) {
  rec().SetPathKey(u"RazizeRuveRO", folder_.u16path());
  folder_.WriteBytes("išrašas.txt", "pirma eilut\xEB\r\nGALAS\r\n");
  std::u16string key = u"RazizeRuveRO";
  LoadStatementDlg dlg;
  dlg.Init(key, u"", true);
  qt().QueueFileAnswer([&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), Q(rec().Text(986)));
    EXPECT_EQ(dialog.directory().absolutePath(), Q(folder_.u16path()));
    dialog.selectFile(Q(folder_.u16path()) + QStringLiteral("/išrašas.txt"));
    return true;
  });
  qt().QueueUser([&](qt::FormDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), Q(rec().Text(4000)));
    EXPECT_TRUE(dialog.WidgetFor(u"chCreateKreditDoc")->isVisible());  // Init asked for it
    ClickOn(dialog, u"btSelectDPFile");
    EXPECT_EQ(TextOf(dialog, u"edImpFile"), Q(ComponentPath(folder_, u"išrašas.txt")));
    Toggle(dialog, u"chCreateKreditDoc");
    SaveScreenshot(dialog, QStringLiteral("LoadStatementDlg"));
    PressKey(dialog, Qt::Key_Return);
  });
  dlg.ShowModal();
  EXPECT_EQ(dlg.ResultText(), ComponentPath(folder_, u"išrašas.txt"));
  EXPECT_EQ(dlg.chCreateKreditDoc.Value(), 1);
  std::u16string line;
  ASSERT_TRUE(dlg.ImpFile().ReadStr(line));
  EXPECT_EQ(line, u"pirma eilutė");
  EXPECT_TRUE(rec().Errors().empty());
}

}  // namespace
}  // namespace norv::qttest
