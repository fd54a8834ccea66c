// The export target: names proposed from the end date, the folder kept for a
// key, and what OK, Cancel and closing the window leave in the two files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/export_file.h"
#include "export/select_files_dlg.h"
#include "runtime/text.h"
#include "support/recording_host.h"

namespace norv::testing {
namespace {

using hostkit::Call;
using hostkit::Click;
using hostkit::Close;
using hostkit::Type;

class SelectFilesDlgTest : public ::testing::Test {
 protected:
  bool Show(const std::u16string& prefix = u"", const std::u16string& key = u"RazizeRuveRO") {
    return target.ShowFileDlg(end, u"mok", u"tar", prefix, key);
  }
  static std::u16string TextOf(forms::Form& form, const char16_t* name) {
    return static_cast<forms::TextBox*>(form.FindControl(name))->Text();
  }

  ScopedRecordingHost host;
  Date end = Date::FromCivil(2007, 3, 5);
  CExportFile target;
};

// OK takes the entries as they stand; an empty key looks up "ClientBank".
TEST_F(SelectFilesDlgTest, ShowsTheFolderOfTheKeyAndTheProposedNamesAndOkTakesTheEntries) {
  host->SetPathKey(u"RazizeRuveRO", u"/exports/bank");
  host->SetPathKey(u"ClientBank", u"/exports/other");
  std::vector<std::u16string> seen;
  host->Driver().ExpectShow(u"SelectFilesDlg",
                            {Call([&](forms::Form& form) {
                               for (auto name : {u"edPath", u"edDPFile", u"edFPFile"}) {
                                 seen.push_back(TextOf(form, name));
                               }
                             }),
                             Type(u"edPath", u"/out"), Type(u"edDPFile", u"local.txt"),
                             Type(u"edFPFile", u""), Click(u"btOk")});
  EXPECT_TRUE(Show());
  EXPECT_EQ(seen, (std::vector<std::u16string>{u"/exports/bank", u"070305.mok", u"070305.tar"}));
  EXPECT_EQ(target.DPFile().Path(), u"/out");
  EXPECT_EQ(target.FPFile().Path(), u"/out");
  EXPECT_EQ(target.DPFile().FileName(), u"local.txt");
  EXPECT_EQ(target.FPFile().FileName(), u"");
  EXPECT_TRUE(host->Driver().Problems().empty());

  host->Driver().ExpectShow(u"SelectFilesDlg", {Click(u"btOk")});
  EXPECT_TRUE(Show(u"", u""));
  EXPECT_EQ(target.DPFile().Path(), u"/exports/other");
  EXPECT_EQ(target.FPFile().Path(), u"/exports/other");
  EXPECT_EQ(target.KeyPath(), u"");
}

// The names proposed from the end date start with the prefix.
TEST_F(SelectFilesDlgTest, CancelAndCloseKeepNamesAndFolders) {
  target.DPFile().SetPath(u"/earlier/dp");
  target.FPFile().SetPath(u"/earlier/fp");
  host->Driver().ExpectShow(
      u"SelectFilesDlg", {Type(u"edPath", u"/out"), Type(u"edDPFile", u"x"), Click(u"btCancel")});
  host->Driver().ExpectShow(u"SelectFilesDlg", {Type(u"edPath", u"/out"), Close()});
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_FALSE(Show(u"AB")) << attempt;
    EXPECT_EQ(target.DPFile().Path(), u"/earlier/dp");
    EXPECT_EQ(target.FPFile().Path(), u"/earlier/fp");
    EXPECT_EQ(target.DPFile().FileName(), u"AB070305.mok");
    EXPECT_EQ(target.FPFile().FileName(), u"AB070305.tar");
    EXPECT_EQ(target.KeyPath(), u"RazizeRuveRO");
  }
  EXPECT_EQ(host->Driver().Shown().size(), 2u);
}

// The chosen folder is kept in the form settings at unload; with no folder kept
// for the key, the next dialog starts from it.
TEST_F(SelectFilesDlgTest, OnlyTheFolderButtonBrowsesAndUnloadKeepsThePathBox) {
  host->QueueFolderChoice(u"/chosen/folder");
  host->Driver().ExpectShow(u"SelectFilesDlg", {Click(u"btSelectDPFile"), Click(u"btSelectFPFile"),
                                                Click(u"btSelectPath"), Click(u"btOk")});
  EXPECT_TRUE(Show());
  EXPECT_EQ(target.DPFile().Path(), u"/chosen/folder");
  EXPECT_EQ(target.DPFile().FileName(), u"070305.mok");
  EXPECT_EQ(host->FolderRequests().size(), 1u);
  EXPECT_TRUE(host->FileDialogRequests().empty());
  EXPECT_EQ(VariantToText(host->FormValues()[{u"SelectFilesDlg", u"edPath"}]), u"/chosen/folder");
  std::u16string start;
  host->Driver().ExpectShow(
      u"SelectFilesDlg",
      {Call([&](forms::Form& form) { start = TextOf(form, u"edPath"); }), Click(u"btCancel")});
  Show();
  EXPECT_EQ(start, u"/chosen/folder");
}

TEST_F(SelectFilesDlgTest, OkWithoutAParentIsReportedAndLeavesTheFormAlone) {
  SelectFilesDlg dialog;
  dialog.btOk.Click();
  ASSERT_EQ(host->Errors().size(), 1u);
  EXPECT_EQ(host->Errors()[0].number, kErrObjectNotSet);
  EXPECT_EQ(host->Errors()[0].source, u"btOk_Click");
  EXPECT_TRUE(dialog.IsLoaded());
}

}  // namespace
}  // namespace norv::testing
