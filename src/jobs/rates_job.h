// The rates job: a currency rate file into the host's rate books. LoadRate
// shows LoadRateDlgVB (the file, a rate type per column), answered by the
// host's forms driver, and stores the rates itself.
#pragma once

#include <cstdint>
#include <string>

#include "jobs/job_context.h"
#include "jobs/job_events.h"

namespace norv::jobs {

struct RatesRequest {};

struct RatesResult {
  // kNothingDone when the dialog ended without loading (closed, cancelled, or
  // OK refused for want of a rate type).
  JobStatus status = JobStatus::kFailed;
  std::u16string file;        // the rate file chosen in the dialog
  int64_t rates_in_book = 0;  // records of REFCurrencyRate after the run
};

RatesResult RunRates(const JobContext& context, const RatesRequest& request, JobEvents& events);

}  // namespace norv::jobs
