// What only a front end with a Cancel button or a failing sink can make a job
// do: an export cancelled midway keeps what it wrote as backups, an import that
// fails or is cancelled midway stores nothing. Every other run of the jobs is a
// run of the program: tests/data/cli_runs.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "component/cbankcl_vb.h"
#include "hostkit/statement_store.h"
#include "jobs/export_job.h"
#include "jobs/import_job.h"
#include "runtime/regional.h"
#include "runtime/text.h"
#include "support/bank_files.h"
#include "support/recording_host.h"

namespace norv::testing {
namespace {

using jobs::NoticeKind;

class Events : public jobs::JobEvents {
 public:
  void Notice(NoticeKind kind, const std::string& text) override {
    notices.push_back(std::to_string(static_cast<int>(kind)) + " " + text);
  }
  void Error(const ComError& error) override { errors.push_back(error.number()); }
  void StatementDocument(const StatementDoc&) override {
    if (++documents == fail_at) throw ComError(kErrDiskFull, u"test", u"Disk full");
  }
  bool CancelRequested() override { return cancel_after >= 0 && ++polls > cancel_after; }

  std::vector<std::string> notices;
  std::vector<int32_t> errors;
  int documents = 0, fail_at = -1, cancel_after = -1, polls = 0;
};

class JobRunTest : public ::testing::Test {
 protected:
  JobRunTest() {
    hostkit::DefaultHost::Options options;
    options.database_path = folder.File("jobs.db");
    options.out = &out;
    options.err = &out;
    host = std::make_shared<hostkit::DefaultHost>(options);
    RegionalSettings::SetCurrent(RegionalSettings::Preset(u"lt-LT"));
    host::HostLibrary::Install(host);
  }
  ~JobRunTest() override { host::HostLibrary::Install(nullptr); }

  jobs::JobContext Context() {
    return {*host,
            [] { return std::static_pointer_cast<IClientBank>(std::make_shared<CBankCl_VB>()); }};
  }
  // `path` as the component names files: "\" between the parts.
  static std::u16string ComponentPath(const std::string& path) {
    std::u16string text = Utf8ToU16(path);
    for (char16_t& c : text) c = c == u'/' ? u'\\' : c;
    return text;
  }
  // LoadStatementDlg answered with a statement of 5000 lines of the account.
  jobs::ImportResult Import() {
    folder.WriteBytes(
        "israsas.txt",
        BankFile(SampleStatement(std::vector<std::string>(
            5000, StatementLine({{2, "2024.01.04"}, {3, "12345678901"}, {5, "EUR"}})))));
    host->QueueFileChoice(ComponentPath(folder.File("israsas.txt")));
    host->Driver().ExpectShow(u"LoadStatementDlg",
                              {hostkit::Click(u"btSelectDPFile"), hostkit::Click(u"btOk")});
    return jobs::RunImport(Context(), {u"12345678901"}, events);
  }
  bool NothingStored() { return hostkit::StatementStore(host->database()).List().empty(); }

  TempFolder folder;
  std::ostringstream out;
  std::shared_ptr<hostkit::DefaultHost> host;
  Events events;
};

TEST_F(JobRunTest, CancellingAnExportEndsItByErrorAndKeepsBackups) {
  events.cancel_after = 1;  // the second document is not exported
  folder.WriteBytes("docs", std::string("[") + kLocalPaymentJson + "," + kLocalPaymentJson + "]");
  host->QueueFolderChoice(ComponentPath(folder.path()));
  host->Driver().ExpectShow(u"SelectFilesDlg",
                            {hostkit::Click(u"btSelectPath"), hostkit::Click(u"btOk")});
  const jobs::ExportResult result =
      jobs::RunExport(Context(), {Date::FromCivil(2004, 3, 15), folder.File("docs")}, events);
  EXPECT_EQ(result.status, jobs::JobStatus::kFailed);
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(folder.ReadBytes("040315.mok.bak"), kLocalLine + "\r\n");
  EXPECT_FALSE(folder.Exists("040315.mok"));
  EXPECT_EQ(events.notices, (std::vector<std::string>{
                                "4 the export was cancelled after 1 of 2 documents",
                                "2 the run ended by error: the files it wrote were kept as backups",
                                "1 " + folder.File("040315.mok.bak")}));
}

TEST_F(JobRunTest, AnImportFailingMidwayStoresNothing) {
  events.fail_at = 4500;
  const jobs::ImportResult result = Import();
  EXPECT_EQ(result.status, jobs::JobStatus::kFailed);
  EXPECT_EQ(result.stored, 0);
  EXPECT_EQ(events.errors, std::vector<int32_t>{kErrDiskFull});
  EXPECT_TRUE(NothingStored());
}

TEST_F(JobRunTest, ACancelledImportStoresNothing) {
  events.cancel_after = 0;
  const jobs::ImportResult result = Import();
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(events.notices,
            std::vector<std::string>{"4 the import was cancelled; nothing was stored"});
  EXPECT_TRUE(NothingStored());
}

}  // namespace
}  // namespace norv::testing
