// JobEvents: what a job tells its front end while it runs, and the one thing it
// asks (whether to stop). A front end (the command line, the window) implements
// it; every method has a do-nothing default, so a front end overrides only what
// it shows. Calls come on the thread that runs the job, in this order:
// StatementHeader before any StatementDocument, StatementEnd after the last;
// Progress now and then (not for every document) and once more at the end;
// Error for each error the job met; Notice for what the front end should tell
// the user after the outcome.
#pragma once

#include <cstdint>
#include <string>

#include <vector>

#include "core/records.h"
#include "jobs/payment_check.h"
#include "jobs/rate_changes.h"
#include "runtime/com_error.h"

namespace norv::jobs {

// The outcome of a job; the values are the program's exit statuses.
enum class JobStatus : int {
  kDone = 0,         // the job did its work
  kNothingDone = 1,  // nothing to do: a dialog closed without a choice, no line of the account
  kFailed = 2,       // an error was raised or reported, or the job was cancelled
};

// What Progress counts.
enum class ProgressUnit {
  kLines,      // import: statement lines read; total: the lines of the file
  kDocuments,  // export: payment documents handed to the component; total: all of them
};

// What a Notice is about; `text` is a UTF-8 path for the file kinds, a
// sentence otherwise.
enum class NoticeKind {
  kFileWritten,        // export: a DP or FP file written (its path)
  kLeftOnDisk,         // export failed: a file the run touched and left (its path)
  kBackupsKept,        // export failed or cancelled: the files were turned into ".bak" backups
  kNothingImported,    // import: why nothing was imported
  kCancelled,          // the user cancelled: what was undone
  kOverlappingImport,  // import: the statement's dates overlap an earlier import (both ranges)
  kAlreadyImported,    // import: "N new, M already imported"
  kRatesUndone,        // rates: the load was undone (dry run, --strict, or the user's Undo)
};

class JobEvents {
 public:
  virtual ~JobEvents() = default;

  // Whether to count what Progress needs (import reads the statement's lines
  // once more to know the total). A front end that shows no progress says no.
  virtual bool WantsProgress() { return false; }
  // `done` of `total` units; `total` is 0 when unknown.
  virtual void Progress(ProgressUnit /*unit*/, uint64_t /*done*/, uint64_t /*total*/) {}
  virtual void Notice(NoticeKind /*kind*/, const std::string& /*text*/) {}
  // An error the job met (raised by the component, the host or the input); the
  // job's status is then kFailed. Errors the component reports to the host
  // itself (ShowPendingError) reach the host's own error report, not this.
  virtual void Error(const ComError& /*error*/) {}

  // Import: the header the component filled (account, date range, credit side),
  // before the first document.
  virtual void StatementHeader(const StHead& /*head*/) {}
  // Import: each document as the component hands it out and before it is
  // stored; documents of kind kDocNone are neither handed out nor stored.
  virtual void StatementDocument(const StatementDoc& /*doc*/) {}
  // Import: after the last document, before the store commits. A sink that
  // cannot finish (output that cannot be written out) raises a ComError here,
  // and the import stores nothing.
  virtual void StatementEnd() {}

  // Export: each problem the check before the run finds (payment_check.h), in
  // document order, all of them before the target dialog. A run with an error
  // among them writes nothing.
  virtual void PaymentProblem(const PaymentProblem& /*problem*/) {}

  // Rates: what the load changed, each change with its warning, while the load
  // can still be undone; true keeps it. The window asks Keep / Undo here.
  virtual bool KeepRateChanges(const std::vector<RateChange>& /*changes*/) { return true; }

  // Polled between documents (export: before each one; import: as often as
  // Progress is called). Import: true rolls back what was stored (status
  // kFailed, Notice kCancelled). Export: true ends the run by error, so the
  // component turns the files into ".bak" backups (status kFailed, Notices
  // kCancelled, kBackupsKept and kLeftOnDisk). A window may process its events
  // here and in Progress, so that its Cancel button can be pressed.
  virtual bool CancelRequested() { return false; }
};

}  // namespace norv::jobs
