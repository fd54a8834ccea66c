// The rates job: a currency rate file into the host's rate books. LoadRate
// shows LoadRateDlgVB (the file, a rate type per column), answered by the
// host's forms driver, and stores the rates itself. The load runs inside a
// savepoint: what it changed (rate_changes.h) goes to the front end
// (JobEvents::KeepRateChanges), which keeps the load or has it undone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jobs/job_context.h"
#include "jobs/job_events.h"

namespace norv::jobs {

struct RatesRequest {};

struct RatesResult {
  // kNothingDone when the dialog ended without loading (closed, cancelled, or
  // OK refused for want of a rate type).
  JobStatus status = JobStatus::kFailed;
  std::u16string file;              // the rate file chosen in the dialog
  int64_t rates_in_book = 0;        // records of REFCurrencyRate after the run
  std::vector<RateChange> changes;  // what the load changed, with the warnings
  bool kept = false;                // false: the load was undone
};

RatesResult RunRates(const JobContext& context, const RatesRequest& request, JobEvents& events);

}  // namespace norv::jobs
