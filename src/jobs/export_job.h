// The export job: payment documents from a file to the DP and FP files.
//
// The payments file is read three times, by streaming (payment_reader.h): a
// first pass reads every document and counts the local and foreign ones, so
// that a bad file or a run larger than the component can count
// (kMaxPaymentsPerKind of each kind) is refused as a whole before the component
// writes anything; a second pass checks every document (payment_check.h), each
// problem going to the front end. A problem of level error, or of level warning
// under `strict`, ends the run there; `check_only` ends it there in any case.
// The third pass hands the documents to ExportDoc one at a time between BeginExport (its
// SelectFilesDlg answered by the host's forms driver) and EndExport(false). An
// error raised on the way, or a cancel, ends the run with EndExport(true): the
// component turns the files into backups, and the job names every file the run
// touched (Notice kLeftOnDisk).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jobs/job_context.h"
#include "jobs/job_events.h"
#include "runtime/date.h"

namespace norv::jobs {

// The component counts the documents of each file in 16 bits.
inline constexpr int64_t kMaxPaymentsPerKind = 32767;

struct ExportRequest {
  Date end_date;
  std::string docs_file;    // a JSON array of payment objects, or JSON Lines of them
  bool check_only = false;  // check every document, write nothing
  bool strict = false;      // warnings stop the run as errors do
};

struct ExportResult {
  JobStatus status = JobStatus::kFailed;
  int64_t local = 0;    // documents exported to the DP file
  int64_t foreign = 0;  // documents exported to the FP file
  // What the user confirmed in SelectFilesDlg (empty when it was not confirmed).
  std::u16string folder, dp_name, fp_name;
  // The files written, on disk (UTF-8; empty when the run wrote no such file).
  std::string dp_path, fp_path;
  // A failed run: the files it touched and left (backups, partial files).
  std::vector<std::string> left_on_disk;
  bool cancelled = false;
  // What the check before the run found.
  int64_t problem_errors = 0;
  int64_t problem_warnings = 0;
};

ExportResult RunExport(const JobContext& context, const ExportRequest& request, JobEvents& events);

}  // namespace norv::jobs
