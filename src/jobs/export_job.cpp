#include "jobs/export_job.h"

#include <string>

#include "jobs/dialog_outcome.h"
#include "jobs/job_error.h"
#include "jobs/payment_check.h"
#include "jobs/payment_reader.h"
#include "jobs/run_files.h"
#include "runtime/com_error.h"

namespace norv::jobs {

namespace {

// Raised from inside the read when the front end asks to stop.
struct CancelledRun {};

// Problems held back while the file is read, at most.
constexpr size_t kProblemsHeld = 10000;

// How often Progress is called while documents go to the component.
constexpr int64_t kProgressEvery = 1024;

// A run larger than the component can count is refused before it begins: the
// component would stop at the 32,768th line of a kind with error 6, after the
// files were half written.
void CheckLimits(const std::string& path, const PaymentCounts& counts) {
  if (counts.local <= kMaxPaymentsPerKind && counts.foreign <= kMaxPaymentsPerKind) return;
  const std::string limit = std::to_string(kMaxPaymentsPerKind);
  FailJob(kErrOverflow, "'" + path + "' holds " + std::to_string(counts.local) + " local and " +
                            std::to_string(counts.foreign) +
                            " foreign payments; one run writes at most " + limit +
                            " of each kind (the files count their documents in 16 bits). Split the "
                            "file into files of at most " +
                            limit + " local and " + limit +
                            " foreign payments and export each one; nothing was written");
}

}  // namespace

ExportResult RunExport(const JobContext& context, const ExportRequest& request, JobEvents& events) {
  ExportResult result;
  PaymentCounts counts;
  // Every document is read and checked, and the run's size known, before the
  // component opens a file: one pass over the file for both. A file that does
  // not read or does not fit is one error, not a problem for each document
  // before the place it fails: the problems wait until the pass ends, up to a
  // bound past which a file is so wrong that they go out as found.
  std::vector<PaymentProblem> held;
  bool holding = true;
  const auto report = [&](const PaymentProblem& problem) {
    ++(problem.level == ProblemLevel::kError ? result.problem_errors : result.problem_warnings);
    events.PaymentProblem(problem);
  };
  try {
    PaymentCheck check(context.host.CodePage() == 775 ? BankCodePage::k775 : BankCodePage::k1257);
    std::vector<PaymentProblem> problems;
    PaymentCounts seen;
    bool over_limit = false;
    counts = ReadPayments(request.docs_file, [&](int64_t, PaymentEntry& entry) {
      ++(entry.doc_type == kLocalPayment ? seen.local : seen.foreign);
      over_limit =
          over_limit || seen.local > kMaxPaymentsPerKind || seen.foreign > kMaxPaymentsPerKind;
      if (over_limit) return;
      check.Add(entry.doc_type, entry.doc, problems);
      if (holding && held.size() + problems.size() > kProblemsHeld) {
        for (const PaymentProblem& problem : held) report(problem);
        held = {};
        holding = false;
      }
      for (PaymentProblem& problem : problems) {
        if (holding) {
          held.push_back(std::move(problem));
        } else {
          report(problem);
        }
      }
      problems.clear();
    });
    CheckLimits(request.docs_file, counts);
  } catch (const ComError& error) {
    events.Error(error);
    return result;
  }
  for (const PaymentProblem& problem : held) report(problem);
  const bool refused = result.problem_errors > 0 || (request.strict && result.problem_warnings > 0);
  if (refused || request.check_only) {
    if (!refused) result.status = JobStatus::kDone;
    return result;
  }
  const int64_t total = counts.local + counts.foreign;

  DialogOutcome target(context.host, u"SelectFilesDlg", {u"edPath", u"edDPFile", u"edFPFile"});
  const int errors_before = context.host.ErrorsReported();
  std::shared_ptr<IClientBank> bank = context.create_client_bank();
  RunFiles before;
  bool failed = false;
  const std::u16string* writing = nullptr;  // the name of the file the current document goes to
  try {
    bank->BeginExport(request.end_date, request.end_date);
    result.folder = target.Text(u"edPath");
    result.dp_name = target.Text(u"edDPFile");
    result.fp_name = target.Text(u"edFPFile");
    before = RunFiles(result.folder, result.dp_name, result.fp_name);
    ReadPayments(request.docs_file, [&](int64_t index, PaymentEntry& entry) {
      if (events.CancelRequested()) throw CancelledRun{};
      const bool local = entry.doc_type == kLocalPayment;
      writing = local ? &result.dp_name : &result.fp_name;
      bank->ExportDoc(entry.doc_type, entry.doc);
      ++(local ? result.local : result.foreign);
      if ((index + 1) % kProgressEvery == 0) {
        events.Progress(ProgressUnit::kDocuments, index + 1, total);
      }
    });
    events.Progress(ProgressUnit::kDocuments, result.local + result.foreign, total);
    bool end_by_error = false;
    bank->EndExport(end_by_error);
  } catch (const CancelledRun&) {
    result.cancelled = true;
    failed = true;
  } catch (const ComError& error) {
    events.Error(error);
    // Another program writing or reading the file refuses its creation (70).
    if (error.number() == kErrPermissionDenied && writing != nullptr) {
      NoticeFileInUse(DiskPath(result.folder, *writing), true, events);
    }
    failed = true;
  }
  if (failed) {
    // Ending by error turns what the run wrote into backups.
    try {
      bool end_by_error = true;
      bank->EndExport(end_by_error);
    } catch (const ComError& again) {
      events.Error(again);
    }
    // A failed run may leave files under names other than the notice gives (a
    // backup that failed, a file closed only now): name each one it touched.
    bank.reset();
    if (!before.empty()) {
      const RunFiles after(result.folder, result.dp_name, result.fp_name);
      result.left_on_disk = after.ChangedSince(before);
    }
    if (result.cancelled) {
      events.Notice(NoticeKind::kCancelled, "the export was cancelled after " +
                                                std::to_string(result.local + result.foreign) +
                                                " of " + std::to_string(total) + " documents");
    }
    if (!result.left_on_disk.empty()) {
      events.Notice(NoticeKind::kBackupsKept,
                    "the run ended by error: the files it wrote were kept as backups");
    }
    for (const std::string& path : result.left_on_disk) {
      events.Notice(NoticeKind::kLeftOnDisk, path);
    }
    return result;
  }
  if (context.host.ErrorsReported() > errors_before) return result;
  if (result.local > 0) result.dp_path = DiskPath(result.folder, result.dp_name);
  if (result.foreign > 0) result.fp_path = DiskPath(result.folder, result.fp_name);
  for (const std::string* path : {&result.dp_path, &result.fp_path}) {
    if (!path->empty()) events.Notice(NoticeKind::kFileWritten, *path);
  }
  result.status = JobStatus::kDone;
  return result;
}

}  // namespace norv::jobs
