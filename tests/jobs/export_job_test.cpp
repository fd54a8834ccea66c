// The export job through its interface: the payments of a file in either form
// to the DP and FP files, refusals before anything is written, and the files a
// failed or cancelled run leaves.
#include "jobs/export_job.h"
#include "hostkit/resource_module.h"
#include "jobs_fixture.h"

namespace norv::testing {
namespace {

using jobs::ExportResult;
using jobs::JobStatus;
using jobs::NoticeKind;

std::string Text(int32_t id) { return U16ToUtf8(hostkit::NorvFormResText(id)); }

class ExportJobTest : public JobTest {
 protected:
  // SelectFilesDlg answered with the folder, `actions`, then OK.
  ExportResult Export(const std::string& docs, std::vector<hostkit::UserAction> actions = {}) {
    host->QueueFolderChoice(ComponentPath(folder.path()));
    actions.insert(actions.begin(), hostkit::Click(u"btSelectPath"));
    if (actions.back().control != u"btCancel") actions.push_back(hostkit::Click(u"btOk"));
    host->Driver().ExpectShow(u"SelectFilesDlg", std::move(actions));
    return jobs::RunExport(Context(), {Date::FromCivil(2004, 3, 15), WriteFile("docs", docs)},
                           events);
  }
};

TEST_F(ExportJobTest, WritesTheDpAndFpFiles) {
  const ExportResult result =
      Export(std::string("[") + kLocalPaymentJson + "," + kForeignPaymentJson + "]");
  ASSERT_EQ(result.status, JobStatus::kDone) << out.str() << err.str();
  EXPECT_EQ(result.local, 1);
  EXPECT_EQ(result.foreign, 1);
  EXPECT_EQ(result.dp_path, folder.File("040315.mok"));
  EXPECT_EQ(result.fp_path, folder.File("040315.tar"));
  EXPECT_EQ(folder.ReadBytes("040315.mok"), kLocalLine + "\r\n");
  EXPECT_EQ(folder.ReadBytes("040315.tar"), kForeignLine + "\r\n");
  EXPECT_EQ(events.NoticesOf(NoticeKind::kFileWritten),
            (std::vector<std::string>{result.dp_path, result.fp_path}));
  EXPECT_EQ(events.progress.back(), std::make_pair(uint64_t{2}, uint64_t{2}));
  EXPECT_TRUE(events.errors.empty());
  EXPECT_NE(out.str().find(Text(988) + " - 1"), std::string::npos);  // the component's summary
}

// A field the component would refuse is found by the check before the run:
// the problem goes to the front end and no file is created, not even a backup.
TEST_F(ExportJobTest, AFieldErrorIsFoundBeforeAnyFileIsCreated) {
  std::string broken = kLocalPaymentJson;
  broken.replace(broken.find("\"PayeeAccount\""), 14, "\"PayeeAddress\"");
  const ExportResult result = Export(std::string("[") + kLocalPaymentJson + "," + broken + "]");
  EXPECT_EQ(result.status, JobStatus::kFailed);
  EXPECT_TRUE(events.errors.empty());
  ASSERT_EQ(events.problems.size(), 1u);
  EXPECT_EQ(events.problems[0].index, 1u);
  EXPECT_EQ(events.problems[0].field, u"Gavejo saskaita");
  EXPECT_EQ(events.problems[0].writer_error, -2147221392);
  EXPECT_EQ(result.problem_errors, 1);
  for (const char* name : {"040315.mok", "040315.mok.bak", "040315.tar", "040315.tar.bak"}) {
    EXPECT_FALSE(folder.Exists(name)) << name;
  }
}

TEST_F(ExportJobTest, CancellingEndsTheRunByErrorAndKeepsBackups) {
  events.cancel_after = 1;  // the second document is not exported
  const ExportResult result =
      Export(std::string("[") + kLocalPaymentJson + "," + kLocalPaymentJson + "]");
  EXPECT_EQ(result.status, JobStatus::kFailed);
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(result.local, 1);
  EXPECT_EQ(folder.ReadBytes("040315.mok.bak"), kLocalLine + "\r\n");
  EXPECT_EQ(events.NoticesOf(NoticeKind::kCancelled),
            std::vector<std::string>{"the export was cancelled after 1 of 2 documents"});
  EXPECT_EQ(events.NoticesOf(NoticeKind::kLeftOnDisk),
            std::vector<std::string>{folder.File("040315.mok.bak")});
}

struct Refusal {
  int local, foreign;
  std::string says;
};

TEST_F(ExportJobTest, ARunLargerThanTheCountersIsRefusedBeforeTheDialog) {
  for (const Refusal& c : {Refusal{32768, 0, "holds 32768 local and 0 foreign payments"},
                           Refusal{1, 32768, "holds 1 local and 32768 foreign payments"}}) {
    std::string docs;
    for (int i = 0; i < c.local; ++i) docs += "{\"DocType\":1}\n";
    for (int i = 0; i < c.foreign; ++i) docs += "{\"DocType\":2}\n";
    events = RecordedEvents();
    const ExportResult result =
        jobs::RunExport(Context(), {Date::FromCivil(2004, 3, 15), WriteFile("big", docs)}, events);
    EXPECT_EQ(result.status, JobStatus::kFailed);
    ASSERT_EQ(events.errors.size(), 1u);
    const std::string said = U16ToUtf8(events.errors[0].description());
    EXPECT_EQ(events.errors[0].number(), kErrOverflow);
    for (const std::string& part :
         {c.says, std::string("at most 32767 of each kind"), std::string("Split the file")}) {
      EXPECT_NE(said.find(part), std::string::npos) << said;
    }
  }
  EXPECT_TRUE(host->Driver().Shown().empty());
  EXPECT_FALSE(folder.Exists("040315.mok"));
}

}  // namespace
}  // namespace norv::testing
