// The import job: a bank statement for one account into the host's documents.
//
// BeginImport, then BeginImportByAccount (its LoadStatementDlg answered by the
// host's forms driver: the file, the credit-side box), then ImportDoc until it
// returns false, then EndImport. Each document goes to the front end
// (JobEvents::StatementDocument) and into the statement store as it comes,
// inside one transaction that commits only after EndImport succeeded: a failed
// or cancelled import, or a process killed on the way, stores nothing. Memory
// does not grow with the statement.
//
// Documents of kind kDocNone (lines of other accounts, the end line) are
// nothing to import: they are counted in `skipped` and go nowhere else.
#pragma once

#include <cstdint>
#include <string>

#include "core/records.h"
#include "jobs/job_context.h"
#include "jobs/job_events.h"

namespace norv::jobs {

struct ImportRequest {
  std::u16string account;
};

struct ImportResult {
  JobStatus status = JobStatus::kFailed;
  StHead head;          // as BeginImportByAccount filled it: the date range, the credit side
  std::u16string file;  // the statement file chosen in LoadStatementDlg
  int64_t stored = 0;   // documents of kinds 1 and 2 stored (0 unless kDone)
  int64_t skipped = 0;  // documents of kind kDocNone
  bool cancelled = false;
};

ImportResult RunImport(const JobContext& context, const ImportRequest& request, JobEvents& events);

}  // namespace norv::jobs
