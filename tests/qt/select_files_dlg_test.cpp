// SelectFilesDlg on screen, worked as a user works it: the captions and order of
// its layout, typing the names, the folder choice, OK by Enter, Cancel by Escape
// and by the close box, with the outcomes the scripted runs give.
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include "export/export_file.h"
#include "export/select_files_dlg.h"
#include "qt_test_host.h"
#include "runtime/text.h"

namespace norv::qttest {
namespace {

class SelectFilesDlgQtTest : public DialogTest {
 protected:
  void SetUp() override { rec().SetPathKey(u"RazizeRuveRO", folder_.u16path()); }
  bool Show() { return target_.ShowFileDlg(end_, u"mok", u"tar", u"", u"RazizeRuveRO"); }

  Date end_ = Date::FromCivil(2024, 1, 31);
  CExportFile target_;
};

TEST_F(SelectFilesDlgQtTest, ShowsTheLayoutAndTakesTheTypedNamesOnEnter) {
  qt().QueueUser([&](qt::FormDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), Q(rec().Text(4002)));
    auto* frame = qobject_cast<QGroupBox*>(dialog.WidgetFor(u"Frame1"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), Q(rec().Text(4003)));
    const std::vector<std::pair<const char16_t*, int>> rows = {
        {u"Label2", 4006}, {u"Label1", 4005}, {u"Label3", 4004}};
    int previous_y = -1;
    for (auto [label, id] : rows) {
      EXPECT_EQ(TextOf(dialog, label), Q(rec().Text(id)));
      EXPECT_GT(dialog.WidgetFor(label)->y(), previous_y);  // top to bottom in design order
      previous_y = dialog.WidgetFor(label)->y();
    }
    for (auto button : {u"btSelectPath", u"btSelectDPFile", u"btSelectFPFile"}) {
      EXPECT_EQ(TextOf(dialog, button), u"Books");
      EXPECT_EQ(dialog.WidgetFor(button)->parentWidget(), frame);
    }
    EXPECT_EQ(TextOf(dialog, u"edPath"), Q(folder_.u16path()));
    EXPECT_EQ(TextOf(dialog, u"edDPFile"), u"240131.mok");
    EXPECT_EQ(TextOf(dialog, u"edFPFile"), u"240131.tar");
    EXPECT_EQ(dialog.DefaultButton(), dialog.WidgetFor(u"btOk"));
    EXPECT_EQ(dialog.CancelButton(), dialog.WidgetFor(u"btCancel"));
    SaveScreenshot(dialog, QStringLiteral("SelectFilesDlg"));

    TypeInto(dialog, u"edDPFile", QStringLiteral("vietiniai_ąčę.mok"));
    TypeInto(dialog, u"edFPFile", QString());
    PressKey(dialog, Qt::Key_Return);
  });
  EXPECT_TRUE(Show());
  EXPECT_EQ(target_.DPFile().FileName(), u"vietiniai_ąčę.mok");
  EXPECT_EQ(target_.FPFile().FileName(), u"");
  EXPECT_EQ(target_.DPFile().Path(), folder_.u16path());
  EXPECT_EQ(target_.FPFile().Path(), folder_.u16path());
  EXPECT_TRUE(rec().Errors().empty());
}

TEST_F(SelectFilesDlgQtTest, FolderButtonPutsTheChosenFolderIntoThePathBox) {
  const QString chosen = Q(folder_.u16path()) + QStringLiteral("/Mokėjimai");
  QDir().mkpath(chosen);
  qt().QueueFileAnswer([&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), Q(rec().Text(980)));
    EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
    EXPECT_EQ(dialog.directory().absolutePath(), QDir::homePath());
    dialog.selectFile(chosen);
    return true;
  });
  qt().QueueFileAnswer([&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.directory().absolutePath(), chosen);  // the next choice starts there
    return false;
  });
  qt().QueueUser([&](qt::FormDialog& dialog) {
    ClickOn(dialog, u"btSelectPath");
    EXPECT_EQ(TextOf(dialog, u"edPath"), chosen);
    ClickOn(dialog, u"btSelectPath");  // cancelled: the box keeps its folder
    EXPECT_EQ(TextOf(dialog, u"edPath"), chosen);
    // The buttons beside the names have no action: no dialog comes up.
    ClickOn(dialog, u"btSelectDPFile");
    ClickOn(dialog, u"btSelectFPFile");
    ClickOn(dialog, u"btOk");
  });
  EXPECT_TRUE(Show());
  EXPECT_EQ(target_.DPFile().Path(), chosen.toStdU16String());
}

struct Leaving {
  const char* name;
  std::function<void(qt::FormDialog&)> leave;
};

class SelectFilesDlgLeavingTest : public SelectFilesDlgQtTest,
                                  public ::testing::WithParamInterface<Leaving> {};

TEST_P(SelectFilesDlgLeavingTest, LeavingWithoutOkKeepsNamesAndFolders) {
  target_.DPFile().SetPath(u"/earlier/dp");
  target_.FPFile().SetPath(u"/earlier/fp");
  qt().QueueUser([&](qt::FormDialog& dialog) {
    TypeInto(dialog, u"edPath", QStringLiteral("/kitur"));
    TypeInto(dialog, u"edDPFile", QStringLiteral("x.mok"));
    GetParam().leave(dialog);
  });
  EXPECT_FALSE(Show());
  EXPECT_EQ(target_.DPFile().Path(), u"/earlier/dp");
  EXPECT_EQ(target_.FPFile().Path(), u"/earlier/fp");
  EXPECT_EQ(target_.DPFile().FileName(), u"240131.mok");
  EXPECT_EQ(target_.FPFile().FileName(), u"240131.tar");
}

INSTANTIATE_TEST_SUITE_P(
    Ways, SelectFilesDlgLeavingTest,
    ::testing::Values(Leaving{"Cancel", [](qt::FormDialog& d) { ClickOn(d, u"btCancel"); }},
                      Leaving{"Escape", [](qt::FormDialog& d) { PressKey(d, Qt::Key_Escape); }},
                      Leaving{"CloseBox", [](qt::FormDialog& d) { d.close(); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace norv::qttest
