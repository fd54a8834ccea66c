// The export job: payment documents from a file to the DP and FP files.
//
// The payments file is read twice, by streaming (payment_reader.h): a first
// pass checks every document and counts the local and foreign ones, so that a
// bad document or a run larger than the component can count (kMaxPaymentsPerKind
// of each kind) is refused before the component writes anything. The second
// pass hands the documents to ExportDoc one at a time between BeginExport (its
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
  std::string docs_file;  // a JSON array of payment objects, or JSON Lines of them
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
};

ExportResult RunExport(const JobContext& context, const ExportRequest& request, JobEvents& events);

}  // namespace norv::jobs
