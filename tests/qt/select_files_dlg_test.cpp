// SelectFilesDlg on screen, a smoke test: the proposed names shown, typed
// names taken on Enter, Cancel keeping names and folders. The rest of its
// outcomes are the scripted runs' (tests/export).
#include <QDir>
#include <QFileDialog>

#include <gtest/gtest.h>

#include "export/export_file.h"
#include "export/select_files_dlg.h"
#include "qt_test_host.h"

namespace norv::qttest {
namespace {

class SelectFilesDlgQtTest : public DialogTest {
 protected:
  void SetUp() override { rec().SetPathKey(u"RazizeRuveRO", folder_.u16path()); }
  bool Show() { return target_.ShowFileDlg(end_, u"mok", u"tar", u"", u"RazizeRuveRO"); }

  Date end_ = Date::FromCivil(2024, 1, 31);
  CExportFile target_;
};

TEST_F(SelectFilesDlgQtTest, ShowsTheProposedNamesAndTakesTheTypedNamesOnEnter) {
  qt().QueueUser([&](qt::FormDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), Q(rec().Text(4002)));
    EXPECT_EQ(TextOf(dialog, u"edPath"), Q(folder_.u16path()));
    EXPECT_EQ(TextOf(dialog, u"edDPFile"), u"240131.mok");
    EXPECT_EQ(TextOf(dialog, u"edFPFile"), u"240131.tar");
    SaveScreenshot(dialog, QStringLiteral("SelectFilesDlg"));
    TypeInto(dialog, u"edDPFile", QStringLiteral("vietiniai_ąčę.mok"));
    TypeInto(dialog, u"edFPFile", QString());
    PressKey(dialog, Qt::Key_Return);
  });
  EXPECT_TRUE(Show());
  EXPECT_EQ(target_.DPFile().FileName(), u"vietiniai_ąčę.mok");
  EXPECT_EQ(target_.FPFile().FileName(), u"");
  EXPECT_EQ(target_.DPFile().Path(), folder_.u16path());
  EXPECT_TRUE(rec().Errors().empty());
}

// Only the folder button browses: the scripted runs click all three in one go.
TEST_F(SelectFilesDlgQtTest, OnlyTheFolderButtonPutsTheChosenFolderIntoThePathBox) {
  const QString chosen = Q(folder_.u16path()) + QStringLiteral("/Mokėjimai");
  QDir().mkpath(chosen);
  qt().QueueFileAnswer([&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
    dialog.selectFile(chosen);
    return true;
  });
  qt().QueueUser([&](qt::FormDialog& dialog) {
    ClickOn(dialog, u"btSelectDPFile");  // no action: no dialog comes up
    ClickOn(dialog, u"btSelectFPFile");
    EXPECT_EQ(TextOf(dialog, u"edPath"), Q(folder_.u16path()));
    ClickOn(dialog, u"btSelectPath");
    EXPECT_EQ(TextOf(dialog, u"edPath"), chosen);
    ClickOn(dialog, u"btOk");
  });
  EXPECT_TRUE(Show());
  EXPECT_EQ(target_.DPFile().Path(), chosen.toStdU16String());
}

TEST_F(SelectFilesDlgQtTest, CancelKeepsNamesAndFolders) {
  target_.DPFile().SetPath(u"/earlier/dp");
  qt().QueueUser([&](qt::FormDialog& dialog) {
    TypeInto(dialog, u"edPath", QStringLiteral("/kitur"));
    TypeInto(dialog, u"edDPFile", QStringLiteral("x.mok"));
    ClickOn(dialog, u"btCancel");
  });
  EXPECT_FALSE(Show());
  EXPECT_EQ(target_.DPFile().Path(), u"/earlier/dp");
  EXPECT_EQ(target_.DPFile().FileName(), u"240131.mok");
}

}  // namespace
}  // namespace norv::qttest
