// The import job through its interface: documents handed out and stored as
// they come, kind 3 nowhere, and a failed or cancelled import storing nothing.
#include "jobs/import_job.h"
#include "jobs_fixture.h"

namespace norv::testing {
namespace {

using jobs::ImportResult;
using jobs::JobStatus;
using jobs::NoticeKind;

class ImportJobTest : public JobTest {
 protected:
  // LoadStatementDlg answered with `file` through the file-open dialog, the
  // credit-side box ticked, OK.
  ImportResult Import(const std::string& file, std::u16string account = u"12345678901") {
    host->QueueFileChoice(ComponentPath(file));
    host->Driver().ExpectShow(u"LoadStatementDlg",
                              {hostkit::Click(u"btSelectDPFile"),
                               hostkit::Tick(u"chCreateKreditDoc", 1), hostkit::Click(u"btOk")});
    return jobs::RunImport(Context(), {std::move(account)}, events);
  }
  std::string WriteStatement(std::vector<std::string> middle = {}) {
    return WriteFile("israsas.txt", BankFile(SampleStatement(middle)));
  }
};

TEST_F(ImportJobTest, HandsOutAndStoresTheDocumentsOfTheAccountOnly) {
  const ImportResult result = Import(WriteStatement());
  ASSERT_EQ(result.status, JobStatus::kDone) << err.str();
  EXPECT_EQ(result.stored, 2);
  EXPECT_EQ(result.skipped, 2);  // the other account's line and the end line
  EXPECT_EQ(result.file, ComponentPath(folder.File("israsas.txt")));
  // The lines a front end prints of them: tests/data/cli_runs.
  ASSERT_EQ(events.headers.size(), 1u);
  EXPECT_TRUE(events.headers[0].CreditSideDocs);
  ASSERT_EQ(events.documents.size(), 2u);
  EXPECT_EQ(events.documents[0].DocNumber, u"1001");
  const auto stored = Stored();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0].doc.Comment, u"Apmokėjimas");
  EXPECT_EQ(stored[0].file, Utf8ToU16(folder.File("israsas.txt")));
  EXPECT_EQ(stored[1].doc.Amount, Currency::FromRaw(800000));
  EXPECT_TRUE(stored[1].doc.IsDebit);
  EXPECT_EQ(events.progress.back(), std::make_pair(uint64_t{4}, uint64_t{4}));
}

// More lines than any buffer on the way holds (the reader's, the output's):
// every document arrives once, in order, and is stored.
TEST_F(ImportJobTest, AStatementLargerThanTheBuffersArrivesWhole) {
  std::vector<std::string> middle;
  for (int i = 0; i < 3000; ++i) {
    middle.push_back(StatementLine({{2, "2024.01.04"},
                                    {3, "12345678901"},
                                    {5, "EUR"},
                                    {6, std::to_string(i)},
                                    {11, "1,00"},
                                    {19, std::string(100, 'x')}}));
  }
  const std::string file = WriteStatement(middle);
  ASSERT_GT(folder.ReadBytes("israsas.txt").size(), 4u << 16);
  const ImportResult result = Import(file);
  ASSERT_EQ(result.status, JobStatus::kDone) << err.str();
  EXPECT_EQ(result.stored, 3002);
  ASSERT_EQ(events.documents.size(), 3002u);
  for (int i = 0; i < 3000; ++i) ASSERT_EQ(events.documents[i + 1].DocNumber, IntToText(i));
  EXPECT_EQ(Stored().size(), 3002u);
  EXPECT_EQ(events.progress.back().second, 3004u);
}

TEST_F(ImportJobTest, AFailureMidwayOrACancelStoresNothing) {
  const std::vector<std::string> middle(
      5000, StatementLine({{2, "2024.01.04"}, {3, "12345678901"}, {5, "EUR"}, {11, "1,00"}}));
  events.fail_at = 4500;
  const ImportResult failed = Import(WriteStatement(middle));
  EXPECT_EQ(failed.status, JobStatus::kFailed);
  EXPECT_EQ(failed.stored, 0);
  ASSERT_EQ(events.errors.size(), 1u);
  EXPECT_EQ(events.errors[0].number(), kErrDiskFull);
  EXPECT_TRUE(Stored().empty());

  events = RecordedEvents();
  events.cancel_after = 0;
  const ImportResult cancelled = Import(WriteStatement(middle));
  EXPECT_EQ(cancelled.status, JobStatus::kFailed);
  EXPECT_TRUE(cancelled.cancelled);
  EXPECT_EQ(events.NoticesOf(NoticeKind::kCancelled),
            std::vector<std::string>{"the import was cancelled; nothing was stored"});
  EXPECT_TRUE(Stored().empty());
}

TEST_F(ImportJobTest, NoLineOfTheAccountOrNoFileImportsNothing) {
  const ImportResult none = Import(WriteStatement(), u"11111111111");
  EXPECT_EQ(none.status, JobStatus::kNothingDone);
  EXPECT_EQ(events.NoticesOf(NoticeKind::kNothingImported),
            std::vector<std::string>{"the statement '" + folder.File("israsas.txt") +
                                     "' has no line of the account 11111111111"});
  // The dialog reports the missing file to the host itself and stays up.
  const ImportResult missing = Import(folder.File("nera.txt"));
  EXPECT_EQ(missing.status, JobStatus::kFailed);
  EXPECT_TRUE(events.errors.empty());
  EXPECT_NE(err.str().find("error 53: LoadStatementDlg::btOk_Click: "), std::string::npos);
  EXPECT_TRUE(Stored().empty());
}

}  // namespace
}  // namespace norv::testing
