// The statement file dialog on its own: layout, captions, Init, OK and Cancel.
#include "import/load_statement_dlg.h"

#include <string>
#include <vector>

#include "import_fixture.h"

namespace norv::testing {
namespace {

using hostkit::Click;
using hostkit::Type;

class LoadStatementDlgTest : public ImportTest {
 protected:
  LoadStatementDlg dlg;
  std::u16string key;
};

TEST_F(LoadStatementDlgTest, EmptyKeyLooksUpTheStatementsFolder) {
  host->SetPathKey(u"ClientBank", u"/in");
  dlg.Init(key, u"st.txt", true);
  EXPECT_TRUE(dlg.chCreateKreditDoc.Visible());
  EXPECT_EQ(key, u"ClientBank");
  EXPECT_EQ(dlg.edImpFile.Text(), u"/in\\st.txt");
}

TEST_F(LoadStatementDlgTest, OkOnAMissingFileReportsAndStaysOpen) {
  dlg.Init(key, u"");
  bool still_shown = false;
  host->Driver().ExpectShow(
      u"LoadStatementDlg",
      {Type(u"edImpFile", folder.u16path() + u"\\none.txt"), Click(u"btOk"),
       hostkit::Call([&](forms::Form& form) { still_shown = form.IsVisible(); }),
       Click(u"btCancel")});
  dlg.ShowModal();
  EXPECT_TRUE(still_shown);
  ASSERT_EQ(host->Errors().size(), 1u);
  EXPECT_EQ(host->Errors()[0].number, kErrFileNotFound);
  EXPECT_EQ(host->Errors()[0].source, u"LoadStatementDlg::btOk_Click");
  EXPECT_EQ(dlg.ResultText(), u"");
}

TEST_F(LoadStatementDlgTest, OkKeepsTheFileOpenAndSplitsItsName) {
  dlg.Init(key, u"");
  const std::u16string path = WriteStatement({u"first"});
  host->Driver().ExpectShow(u"LoadStatementDlg", {Type(u"edImpFile", path), Click(u"btOk")});
  dlg.ShowModal();
  EXPECT_EQ(dlg.ResultText(), path);
  EXPECT_EQ(dlg.ImpFile().FileName(), u"st.txt");
  EXPECT_EQ(dlg.ImpFile().Path(), folder.u16path() + u"\\");
  std::u16string line;
  ASSERT_TRUE(dlg.ImpFile().ReadStr(line));
  EXPECT_EQ(line, u"first");

  dlg.Unload();
  EXPECT_FALSE(HeldOpen("st.txt"));
  EXPECT_THROW(dlg.ImpFile(), ComError);
  EXPECT_EQ(dlg.ResultText(), u"");
  // The path binder left the box's text in the form settings.
  EXPECT_EQ(std::get<std::u16string>(host->FormValues()[{u"LoadStatementDlg", u"edImpFile"}]),
            path);
}

}  // namespace
}  // namespace norv::testing
