#include "job_commands.h"

#include <filesystem>
#include <vector>

#include "check_events.h"
#include "cli_events.h"
#include "hostkit/console_services.h"
#include "hostkit/scripted_driver.h"
#include "hostkit/sqlite_books.h"
#include "jobs/export_job.h"
#include "jobs/import_job.h"
#include "jobs/rates_job.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace clientbank {

using norv::ComError;
using norv::Utf8ToU16;
namespace hostkit = norv::hostkit;
namespace jobs = norv::jobs;

namespace {

std::string AbsolutePath(const std::string& path) {
  return std::filesystem::absolute(path).lexically_normal().string();
}

jobs::JobContext ContextOf(Session& session) {
  return jobs::JobContext{session.host(), [&session] { return session.CreateClientBank(); }};
}

CliEvents EventsOf(Session& session) {
  return CliEvents(session.out(), session.err(), session.show_progress());
}

int ExitStatus(jobs::JobStatus status) { return static_cast<int>(status); }

}  // namespace

std::u16string ComponentPath(const std::string& path) {
  std::u16string text = Utf8ToU16(AbsolutePath(path));
  for (char16_t& c : text) {
    if (c == u'/') c = u'\\';
  }
  return text;
}

int RunExport(Session& session, const ExportOptions& options) {
  // The folder comes through the folder choice behind the box's browse button.
  std::vector<hostkit::UserAction> actions;
  if (options.folder) {
    session.host().QueueFolderChoice(Utf8ToU16(AbsolutePath(*options.folder)));
    actions.push_back(hostkit::Click(u"btSelectPath"));
  }
  if (options.dp_name) actions.push_back(hostkit::Type(u"edDPFile", Utf8ToU16(*options.dp_name)));
  if (options.fp_name) actions.push_back(hostkit::Type(u"edFPFile", Utf8ToU16(*options.fp_name)));
  actions.push_back(hostkit::Click(options.cancel ? u"btCancel" : u"btOk"));
  session.host().Driver().ExpectShow(u"SelectFilesDlg", std::move(actions));

  CheckEvents events(EventsOf(session), session.out(), session.err(),
                     {.problems_to_out = options.check_only});
  const jobs::ExportResult result = jobs::RunExport(
      ContextOf(session), {options.end_date, options.docs_file, options.check_only, options.strict},
      events);
  events.Flush();
  if (result.problem_errors + result.problem_warnings > 0) {
    const bool refused = result.problem_errors > 0 || options.strict;
    session.err() << "clientbank: " << result.problem_errors << " error(s), "
                  << result.problem_warnings << " warning(s)"
                  << (refused ? result.problem_errors > 0 ? ": nothing exported"
                                                          : ": nothing exported (--strict)"
                              : "")
                  << '\n';
  }
  if (!result.dp_path.empty()) session.out() << "DP file: " << result.dp_path << '\n';
  if (!result.fp_path.empty()) session.out() << "FP file: " << result.fp_path << '\n';
  return ExitStatus(result.status);
}

int RunImport(Session& session, const ImportOptions& options) {
  // The file comes through the file-open dialog behind the box's browse button.
  session.host().QueueFileChoice(ComponentPath(options.file));
  session.host().Driver().ExpectShow(
      u"LoadStatementDlg",
      {hostkit::Click(u"btSelectDPFile"),
       hostkit::Tick(u"chCreateKreditDoc", options.credit_side ? 1 : 0), hostkit::Click(u"btOk")});

  CliEvents events = EventsOf(session);
  // An error the component reports to the host (the console prints it) also
  // ends the JSON Lines; the handler goes with the events, however the job ends.
  session.host().SetPendingErrorHandler(
      [&events](const ComError& error) { events.EndLines(error); });
  struct Unhook {
    hostkit::DefaultHost& host;
    ~Unhook() { host.SetPendingErrorHandler(nullptr); }
  } unhook{session.host()};
  const jobs::ImportResult result =
      jobs::RunImport(ContextOf(session), {Utf8ToU16(options.account), options.again}, events);
  events.Flush();
  if (result.status == jobs::JobStatus::kDone) {
    session.out() << "{\"Summary\":{\"New\":" << result.stored
                  << ",\"AlreadyImported\":" << result.already_imported << "}}\n";
  }
  return ExitStatus(result.status);
}

int RunRates(Session& session, const RatesOptions& options) {
  // A combo offers only the entries of its book: a code that is not there
  // cannot be chosen.
  auto rate_types = session.host().Books().OpenBook(u"REFRateType", nullptr);
  session.host().QueueFileChoice(ComponentPath(options.file));
  std::vector<hostkit::UserAction> actions{hostkit::Click(u"btSelectDPFile")};
  for (const RateColumn& column : kRateColumns) {
    auto it = options.codes.find(column.option);
    if (it == options.codes.end()) continue;
    if (!rate_types->FindByKey({Utf8ToU16(it->second)})) {
      session.err() << hostkit::ErrorLine(
                           ComError(norv::kErrInvalidCall, u"clientbank",
                                    norv::RuntimeErrorDescription(norv::kErrInvalidCall) + u": --" +
                                        Utf8ToU16(column.option) + u" " + Utf8ToU16(it->second) +
                                        u" is not a rate type of the book REFRateType"))
                    << '\n';
      return kExitError;
    }
    actions.push_back(hostkit::Pick(column.combo, Utf8ToU16(it->second)));
  }
  actions.push_back(hostkit::Click(u"btOk"));
  session.host().Driver().ExpectShow(u"LoadRateDlgVB", std::move(actions));

  CheckEvents events(EventsOf(session), session.out(), session.err(),
                     {.dry_run = options.dry_run, .strict = options.strict});
  const jobs::RatesResult result = jobs::RunRates(ContextOf(session), {}, events);
  if (options.dry_run && !result.changes.empty()) session.err() << "clientbank: dry run\n";
  if (result.kept && jobs::AnyWarning(result.changes)) {
    session.err() << "clientbank: the load was kept with warnings (--strict undoes such a load)\n";
  }
  if (events.undone_by_strict()) {
    session.err() << "clientbank: the load has warnings (--strict)\n";
    return kExitError;
  }
  return ExitStatus(result.status);
}

}  // namespace clientbank
