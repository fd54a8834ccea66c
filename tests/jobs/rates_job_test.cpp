// The rates job's outcome as the dialog ends it; the rates it stores are the
// program's test (tests/apps), which has the demo books they need.
#include "jobs/rates_job.h"
#include "jobs_fixture.h"

namespace norv::testing {
namespace {

TEST_F(JobTest, RatesWithoutARateTypeLoadNothing) {
  host->QueueFileChoice(ComponentPath(WriteFile("kursai.txt", BankFile({"2024.01.31", "GALAS"}))));
  host->Driver().ExpectShow(u"LoadRateDlgVB",
                            {hostkit::Click(u"btSelectDPFile"), hostkit::Click(u"btOk")});
  const jobs::RatesResult result = jobs::RunRates(Context(), {}, events);
  EXPECT_EQ(result.status, jobs::JobStatus::kNothingDone);
  EXPECT_EQ(result.rates_in_book, 0);
  EXPECT_TRUE(events.errors.empty());
}

}  // namespace
}  // namespace norv::testing
