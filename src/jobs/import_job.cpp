#include "jobs/import_job.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "hostkit/statement_store.h"
#include "jobs/dialog_outcome.h"
#include "jobs/json_values.h"
#include "jobs/run_files.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace norv::jobs {

namespace {

// Raised inside the store's transaction to roll it back without an error of
// its own: the front end cancelled, or the component reported an error to
// the host instead of raising it.
struct RollBack {};

constexpr int64_t kProgressEvery = 4096;

// The lines of a file (a last line without '\n' counts), read through a fixed
// buffer; 0 when it cannot be read.
uint64_t CountLines(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) return 0;
  std::unique_ptr<char[]> buffer(new char[1 << 16]);
  uint64_t lines = 0;
  char last = '\n';
  size_t got;
  while ((got = std::fread(buffer.get(), 1, 1 << 16, file.get())) > 0) {
    for (const char *p = buffer.get(), *end = p + got;
         (p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr; ++p) {
      ++lines;
    }
    last = buffer[got - 1];
  }
  return lines + (last != '\n' ? 1 : 0);
}

std::string DayRange(Date from, Date to) { return DateText(from) + ".." + DateText(to); }

}  // namespace

ImportResult RunImport(const JobContext& context, const ImportRequest& request, JobEvents& events) {
  ImportResult result;
  result.head.Account = request.account;
  DialogOutcome dialog(context.host, u"LoadStatementDlg", {u"edImpFile"});
  const int errors_before = context.host.ErrorsReported();
  std::shared_ptr<IClientBank> bank = context.create_client_bank();
  bool accepted = false;
  bool ended = false;  // EndImport was called: it is not called twice
  try {
    bank->BeginImport(result.head);
    accepted = bank->BeginImportByAccount(result.head);
    result.file = dialog.Text(u"edImpFile");
    if (!accepted) {
      ended = true;
      bank->EndImport();
    } else {
      events.StatementHeader(result.head);
      const uint64_t total = events.WantsProgress() ? CountLines(DiskPath(result.file)) : 0;
      const std::u16string stored_file = Utf8ToU16(DiskPath(result.file));
      hostkit::StatementStore imports(context.host.database());
      result.overlapping =
          imports.OverlappingImports(result.head.Account, result.head.DateFrom, result.head.DateTo);
      for (const hostkit::StatementImport& earlier : result.overlapping) {
        events.Notice(NoticeKind::kOverlappingImport,
                      "the statement's dates " +
                          DayRange(result.head.DateFrom, result.head.DateTo) + " of the account " +
                          U16ToUtf8(result.head.Account) + " overlap an earlier import of " +
                          DayRange(earlier.date_from, earlier.date_to) + " from " +
                          U16ToUtf8(earlier.file));
      }
      // One transaction: it commits only once the component has ended the
      // import without an error, so a failure stores nothing.
      context.host.database()->Transaction([&] {
        // Taken inside the write transaction, so that a statement another
        // program stored while this one read counts as already imported.
        hostkit::ImportMatcher matcher(context.host.database());
        hostkit::StatementStore::Writer store(*context.host.database(), stored_file,
                                              result.head.Account);
        // One record for every call: ImportDoc sets each field it writes and
        // trades text buffers with its parse, so they are reused line by line.
        StatementDoc doc;
        int64_t read = 0;
        while (bank->ImportDoc(doc)) {
          ++read;
          if (doc.DocKind == kDocNone) {
            ++result.skipped;
          } else {
            events.StatementDocument(doc);
            if (!request.again && matcher.AlreadyImported(doc)) {
              ++result.already_imported;
            } else {
              store.Add(doc);
              ++result.stored;
            }
          }
          if (read % kProgressEvery == 0) {
            events.Progress(ProgressUnit::kLines, read, total);
            if (events.CancelRequested()) {
              result.cancelled = true;
              throw RollBack{};
            }
          }
        }
        events.Progress(ProgressUnit::kLines, read, total);
        ended = true;
        bank->EndImport();
        if (context.host.ErrorsReported() > errors_before) throw RollBack{};
        // An import that stored nothing new adds no range of its own.
        if (result.stored > 0) {
          imports.AddImport(stored_file, result.head.Account, result.head.DateFrom,
                            result.head.DateTo);
        }
        events.StatementEnd();
      });
    }
  } catch (const RollBack&) {
    result.stored = 0;
    result.already_imported = 0;
    try {
      if (!ended) bank->EndImport();
    } catch (const ComError& again) {
      events.Error(again);
    }
    if (result.cancelled) {
      events.Notice(NoticeKind::kCancelled, "the import was cancelled; nothing was stored");
    }
    return result;
  } catch (const ComError& error) {
    result.stored = 0;
    result.already_imported = 0;
    events.Error(error);
    try {
      if (!ended) bank->EndImport();
    } catch (const ComError& again) {
      events.Error(again);
    }
    return result;
  }
  if (context.host.ErrorsReported() > errors_before) return result;
  if (!accepted) {
    result.status = JobStatus::kNothingDone;
    events.Notice(NoticeKind::kNothingImported,
                  result.file.empty()
                      ? "the statement dialog was closed without a statement"
                      : "the statement '" + DiskPath(result.file) +
                            "' has no line of the account " + U16ToUtf8(request.account));
    return result;
  }
  events.Notice(NoticeKind::kAlreadyImported, std::to_string(result.stored) + " new, " +
                                                  std::to_string(result.already_imported) +
                                                  " already imported");
  result.status = JobStatus::kDone;
  return result;
}

}  // namespace norv::jobs
