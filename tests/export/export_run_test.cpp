// Whole export runs: the target dialog, counting, the summary, backups after a
// failed run and the reuse of one object for several runs.
#include <string>
#include <tuple>

#include "export_fixture.h"

namespace norv::testing {
namespace {

class ExportRunTest : public ExportTest {
 protected:
  void ExpectMessage(const std::u16string& text, int32_t kind) {
    ASSERT_FALSE(host->Messages().empty());
    const MessageCall& m = host->Messages().back();
    EXPECT_EQ(m.text, text);
    EXPECT_EQ(m.kind, kind);
    // The one form of the call: a "Gerai" button, flags 1, nothing else.
    EXPECT_EQ(m.button1, u"Gerai");
    EXPECT_EQ(m.title + m.button2 + m.button3 + m.button4 + m.extra1 + m.extra2 + m.extra3, u"");
    EXPECT_EQ(std::tuple(m.default_button, m.flags, m.help_id), std::tuple(0, 1, 0));
  }
  // The 1200 notice naming a backup.
  std::u16string Notice(const std::u16string& backup) {
    return ReplaceAll(host->Text(1200), u"%0", backup);
  }
  std::u16string FolderWithBackslash() { return folder.u16path() + u"\\"; }
};

TEST_F(ExportRunTest, RunWithoutDocumentsCreatesNoFileAndEndedByErrorChangesNothing) {
  Begin();
  End();
  ExpectMessage(Summary(0, 0), 1);
  EXPECT_FALSE(folder.Exists(kDPName));
  EXPECT_FALSE(folder.Exists(kFPName));
  folder.WriteBytes(kDPName, "left from yesterday\r\n");
  Begin();
  End(/*by_error=*/true);
  ExpectMessage(Notice(u""), 4);
  EXPECT_EQ(folder.ReadBytes(kDPName), "left from yesterday\r\n");
  EXPECT_FALSE(folder.Exists(std::string(kDPName) + ".bak"));
}

TEST_F(ExportRunTest, OldFilesAreReplacedOnlyWhenWrittenTo) {
  folder.WriteBytes(kDPName, "old local line\r\n");
  folder.WriteBytes(kFPName, "old foreign line\r\n");
  Begin();
  for (int i = 0; i < 3; ++i) Export(kLocal, ExampleLocalDoc());
  End();
  const std::string line = kExampleLocalLine + "\r\n";
  EXPECT_EQ(folder.ReadBytes(kDPName), line + line + line);
  EXPECT_EQ(folder.ReadBytes(kFPName), "old foreign line\r\n");
  ExpectMessage(Summary(3, 0), 1);
}

TEST_F(ExportRunTest, FilesGoToTheExportFolderUnderDateNames) {
  host->SetPathKey(u"RazizeRuveRO", folder.u16path());
  host->Driver().ExpectShow(u"SelectFilesDlg", {hostkit::Click(u"btOk")});
  bank->BeginExport(Date::FromCivil(2001, 1, 1), Date::FromCivil(2024, 1, 31));
  Export(kLocal, ExampleLocalDoc());
  Export(kForeign, ExampleForeignDoc());
  End();
  ExpectMessage(Summary(1, 1), 1);
  EXPECT_EQ(folder.ReadBytes("240131.mok"), kExampleLocalLine + "\r\n");
  EXPECT_EQ(folder.ReadBytes("240131.tar"), kExampleForeignLine + "\r\n");
}

TEST_F(ExportRunTest, CancelRaises1100KeepsTheLastCountsAndTheNextRunStartsAfresh) {
  Begin();
  Export(kLocal, ExampleLocalDoc());
  End();
  host->Driver().ExpectShow(u"SelectFilesDlg", {hostkit::Click(u"btCancel")});
  try {
    bank->BeginExport(Date(), RunEnd());
    ADD_FAILURE() << "BeginExport raised no error";
  } catch (const ComError& error) {
    EXPECT_EQ(error.number(), kErrExportCancelled);
    EXPECT_EQ(error.source(), u"");
    EXPECT_EQ(error.description(), host->Text(990));
  }
  End();
  ExpectMessage(Summary(1, 0), 1);
  // Counts start from zero, and files of the same names are written afresh.
  Begin();
  Export(kForeign, ExampleForeignDoc());
  PaymentDoc doc = ExampleLocalDoc();
  doc.DocNumber = u"9";
  Export(kLocal, doc);
  End();
  ExpectMessage(Summary(1, 1), 1);
  EXPECT_EQ(folder.ReadBytes(kDPName), "9" + kExampleLocalLine.substr(3) + "\r\n");
}

TEST_F(ExportRunTest, SecondBeginWithoutEndKeepsAnOpenFileUnderItsOldName) {
  Begin();
  Export(kLocal, ExampleLocalDoc());
  TempFolder second;
  Begin(second.u16path(), Date::FromCivil(2024, 2, 1));
  Export(kLocal, ExampleLocalDoc());
  Export(kForeign, ExampleForeignDoc());
  End();
  const std::string line = kExampleLocalLine + "\r\n";
  EXPECT_EQ(folder.ReadBytes(kDPName), line + line);
  EXPECT_FALSE(second.Exists("240201.mok"));
  EXPECT_EQ(second.ReadBytes("240201.tar"), kExampleForeignLine + "\r\n");
  ExpectMessage(Summary(1, 1), 1);
}

TEST_F(ExportRunTest, RunEndedByErrorLeavesOnlyBackupsAndNamesTheFPBackup) {
  folder.WriteBytes(std::string(kDPName) + ".bak", "older backup\r\n");
  Begin();
  Export(kLocal, ExampleLocalDoc());
  Export(kForeign, ExampleForeignDoc());
  PaymentDoc bad = ExampleForeignDoc();
  bad.PaymentType = 9;
  ExportError(kForeign, bad);
  End(/*by_error=*/true);
  EXPECT_FALSE(folder.Exists(kDPName));
  EXPECT_FALSE(folder.Exists(kFPName));
  EXPECT_EQ(folder.ReadBytes(std::string(kDPName) + ".bak"), kExampleLocalLine + "\r\n");
  EXPECT_EQ(folder.ReadBytes(std::string(kFPName) + ".bak"), kExampleForeignLine + "\r\n");
  ExpectMessage(Notice(FolderWithBackslash() + u"240131.tar.bak"), 4);
}

TEST_F(ExportRunTest, RunEndedByErrorWithOnlyADPFileNamesItsBackupAndTheNextRunGoesOn) {
  Begin();
  Export(kLocal, ExampleLocalDoc());
  End(/*by_error=*/true);
  EXPECT_FALSE(folder.Exists(kDPName));
  ExpectMessage(Notice(FolderWithBackslash() + u"240131.mok.bak"), 4);
  Begin();
  Export(kLocal, ExampleLocalDoc());
  End();
  EXPECT_EQ(folder.ReadBytes(kDPName), kExampleLocalLine + "\r\n");
  EXPECT_EQ(folder.ReadBytes(std::string(kDPName) + ".bak"), kExampleLocalLine + "\r\n");
}

TEST_F(ExportRunTest, The32768thDocumentOfOneKindOverflows) {
  Begin();
  const PaymentDoc doc = ExampleLocalDoc();
  for (int i = 0; i < 32767; ++i) Export(kLocal, doc);
  EXPECT_EQ(ExportError(kLocal, doc).number(), kErrOverflow);
  Export(kForeign, ExampleForeignDoc());  // the other kind still counts
  End();
  ExpectMessage(Summary(32767, 1), 1);
  EXPECT_EQ(folder.ReadBytes(kDPName).size(), 32767 * (kExampleLocalLine.size() + 2));
}

}  // namespace
}  // namespace norv::testing
