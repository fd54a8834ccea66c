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
//
// A document the store holds already from an earlier import (the same
// fingerprint: StatementStore) is shown but not stored again, unless `again`;
// the front end is told "N new, M already imported", and which earlier imports
// of the account the statement's date range overlaps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/records.h"
#include "hostkit/statement_store.h"
#include "jobs/job_context.h"
#include "jobs/job_events.h"

namespace norv::jobs {

struct ImportRequest {
  std::u16string account;
  bool again = false;  // store documents imported before as well
};

struct ImportResult {
  JobStatus status = JobStatus::kFailed;
  StHead head;          // as BeginImportByAccount filled it: the date range, the credit side
  std::u16string file;  // the statement file chosen in LoadStatementDlg
  int64_t stored = 0;   // documents of kinds 1 and 2 stored (0 unless kDone)
  int64_t skipped = 0;  // documents of kind kDocNone
  int64_t already_imported = 0;  // documents found in the store and not stored again
  std::vector<hostkit::StatementImport> overlapping;  // earlier imports the dates overlap
  bool cancelled = false;
};

ImportResult RunImport(const JobContext& context, const ImportRequest& request, JobEvents& events);

}  // namespace norv::jobs
