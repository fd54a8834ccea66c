#include "jobs.h"

#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include "check_output.h"
#include "core/records.h"
#include "forms/control.h"
#include "forms/form.h"
#include "hostkit/console_services.h"
#include "hostkit/scripted_driver.h"
#include "hostkit/sqlite_books.h"
#include "hostkit/statement_store.h"
#include "jobs/payment_check.h"
#include "jobs/rate_changes.h"
#include "json_records.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace clientbank {

using norv::ComError;
using norv::U16ToUtf8;
using norv::Utf8ToU16;
namespace hostkit = norv::hostkit;

namespace {

std::string AbsolutePath(const std::string& path) {
  return std::filesystem::absolute(path).lexically_normal().string();
}

std::u16string TextOf(norv::forms::Form& form, std::u16string_view control) {
  auto* box = dynamic_cast<norv::forms::TextBox*>(form.FindControl(control));
  return box != nullptr ? box->Text() : u"";
}

// Where a file named by the component's folder and name lies on disk.
std::string DiskPath(const std::u16string& folder, const std::u16string& name) {
  std::string joined = U16ToUtf8(folder);
  for (char& c : joined) {
    if (c == '\\') c = '/';
  }
  std::filesystem::path base =
      joined.empty() ? std::filesystem::current_path() : std::filesystem::path(joined);
  return (base / U16ToUtf8(name)).lexically_normal().string();
}

// The files an export run may leave, its DP and FP files and their backups,
// each with the time it last changed (none: missing).
using RunFiles = std::map<std::string, std::optional<std::filesystem::file_time_type>>;

RunFiles LookAtRunFiles(const std::u16string& folder, const std::u16string& dp_name,
                        const std::u16string& fp_name) {
  RunFiles files;
  for (const std::u16string& name : {dp_name, fp_name, dp_name + u".bak", fp_name + u".bak"}) {
    const std::string path = DiskPath(folder, name);
    std::error_code error;
    const auto changed = std::filesystem::last_write_time(path, error);
    files[path] = error ? std::nullopt : std::optional(changed);
  }
  return files;
}

int ErrorRaised(Session& session, const ComError& error) {
  session.err() << hostkit::ErrorLine(error) << '\n';
  return kExitError;
}

// Checks every document; prints each problem to `out`. True when the run may go on.
bool CheckPayments(Session& session, const std::vector<ExportDocument>& docs, bool strict,
                   std::ostream& out) {
  namespace jobs = norv::jobs;
  jobs::PaymentCheck check(session.host().CodePage() == 775 ? jobs::BankCodePage::k775
                                                            : jobs::BankCodePage::k1257);
  std::vector<jobs::PaymentProblem> problems;
  for (const ExportDocument& entry : docs) check.Add(entry.doc_type, entry.doc, problems);
  size_t errors = 0;
  std::ostringstream lines;
  for (const jobs::PaymentProblem& problem : problems) {
    errors += problem.level == jobs::ProblemLevel::kError;
    lines << PaymentProblemJson(problem).dump() << '\n';
  }
  out << lines.str();
  const size_t warnings = problems.size() - errors;
  const bool go_on = errors == 0 && (warnings == 0 || !strict);
  if (!problems.empty()) {
    session.err() << "clientbank: " << errors << " error(s), " << warnings << " warning(s) in "
                  << docs.size() << " document(s)"
                  << (go_on        ? ""
                      : errors > 0 ? ": nothing exported"
                                   : ": nothing exported (--strict)")
                  << '\n';
  }
  return go_on;
}

std::string DayRange(norv::Date from, norv::Date to) {
  return DateText(from) + ".." + DateText(to);
}

// Says which earlier imports of the account the statement's dates overlap.
void ReportOverlaps(Session& session, hostkit::StatementStore& store, const norv::StHead& head) {
  for (const hostkit::StatementImport& earlier :
       store.OverlappingImports(head.Account, head.DateFrom, head.DateTo)) {
    session.err() << "clientbank: the statement's dates " << DayRange(head.DateFrom, head.DateTo)
                  << " of the account " << U16ToUtf8(head.Account)
                  << " overlap an earlier import of "
                  << DayRange(earlier.date_from, earlier.date_to) << " from "
                  << U16ToUtf8(earlier.file) << '\n';
  }
}

}  // namespace

std::u16string ComponentPath(const std::string& path) {
  std::u16string text = Utf8ToU16(AbsolutePath(path));
  for (char16_t& c : text) {
    if (c == u'/') c = u'\\';
  }
  return text;
}

int RunExport(Session& session, const ExportRequest& request) {
  // Every document is checked before the component writes anything.
  std::vector<ExportDocument> docs = ReadPaymentDocs(ReadJsonArray(request.docs_file));
  const bool passed = CheckPayments(session, docs, request.strict,
                                    request.check_only ? session.out() : session.err());
  if (!passed) return kExitError;
  if (request.check_only) return kExitOk;

  // The folder comes through the folder choice behind the box's browse button.
  std::vector<hostkit::UserAction> actions;
  if (request.folder) {
    session.host().QueueFolderChoice(Utf8ToU16(AbsolutePath(*request.folder)));
    actions.push_back(hostkit::Click(u"btSelectPath"));
  }
  if (request.dp_name) actions.push_back(hostkit::Type(u"edDPFile", Utf8ToU16(*request.dp_name)));
  if (request.fp_name) actions.push_back(hostkit::Type(u"edFPFile", Utf8ToU16(*request.fp_name)));
  std::u16string folder, dp_name, fp_name;
  actions.push_back(hostkit::Call([&](norv::forms::Form& form) {
    folder = TextOf(form, u"edPath");
    dp_name = TextOf(form, u"edDPFile");
    fp_name = TextOf(form, u"edFPFile");
  }));
  actions.push_back(hostkit::Click(request.cancel ? u"btCancel" : u"btOk"));
  session.host().Driver().ExpectShow(u"SelectFilesDlg", std::move(actions));

  std::shared_ptr<norv::IClientBank> bank = session.CreateClientBank();
  int local = 0;
  int foreign = 0;
  RunFiles before;
  try {
    bank->BeginExport(request.end_date, request.end_date);
    before = LookAtRunFiles(folder, dp_name, fp_name);
    for (ExportDocument& entry : docs) {
      int32_t doc_type = entry.doc_type;
      bank->ExportDoc(doc_type, entry.doc);
      ++(entry.doc_type == norv::kLocalPayment ? local : foreign);
    }
    bool end_by_error = false;
    bank->EndExport(end_by_error);
  } catch (const ComError& error) {
    ErrorRaised(session, error);
    bool end_by_error = true;
    try {
      bank->EndExport(end_by_error);
    } catch (const ComError& again) {
      ErrorRaised(session, again);
    }
    // A failed run may leave files under names other than the notice gives
    // (a backup that failed, a file closed only now): name each one it touched.
    bank.reset();
    if (!before.empty()) {
      for (const auto& [path, changed] : LookAtRunFiles(folder, dp_name, fp_name)) {
        if (changed && changed != before[path]) session.err() << "left on disk: " << path << '\n';
      }
    }
    return kExitError;
  }
  if (session.host().ErrorsReported() > 0) return kExitError;
  if (local > 0) session.out() << "DP file: " << DiskPath(folder, dp_name) << '\n';
  if (foreign > 0) session.out() << "FP file: " << DiskPath(folder, fp_name) << '\n';
  return kExitOk;
}

int RunImport(Session& session, const ImportRequest& request) {
  // The file comes through the file-open dialog behind the box's browse button.
  std::u16string file = ComponentPath(request.file);
  session.host().QueueFileChoice(file);
  session.host().Driver().ExpectShow(
      u"LoadStatementDlg",
      {hostkit::Click(u"btSelectDPFile"),
       hostkit::Tick(u"chCreateKreditDoc", request.credit_side ? 1 : 0), hostkit::Click(u"btOk")});
  size_t problems_before = session.host().Driver().Problems().size();

  std::shared_ptr<norv::IClientBank> bank = session.CreateClientBank();
  norv::StHead head;
  head.Account = Utf8ToU16(request.account);
  std::vector<norv::StatementDoc> docs;
  bool accepted = false;
  try {
    bank->BeginImport(head);
    accepted = bank->BeginImportByAccount(head);
    if (accepted) {
      norv::StatementDoc doc;
      while (bank->ImportDoc(doc)) {
        docs.push_back(doc);
        doc = norv::StatementDoc{};
      }
    }
    bank->EndImport();
  } catch (const ComError& error) {
    ErrorRaised(session, error);
    try {
      bank->EndImport();
    } catch (const ComError& again) {
      ErrorRaised(session, again);
    }
    return kExitError;
  }
  if (session.host().ErrorsReported() > 0) return kExitError;
  if (!accepted) {
    bool dialog_closed = session.host().Driver().Problems().size() > problems_before;
    session.err() << "clientbank: nothing imported: "
                  << (dialog_closed ? "the statement dialog was closed without a statement"
                                    : "the statement '" + AbsolutePath(request.file) +
                                          "' has no line of the account " + request.account)
                  << '\n';
    return kExitNothingDone;
  }
  const std::shared_ptr<hostkit::Database> db = session.host().database();
  hostkit::StatementStore store(db);
  ReportOverlaps(session, store, head);
  hostkit::ImportMatcher matcher(db);
  size_t fresh = 0;
  size_t before = 0;
  db->Transaction([&] {
    std::u16string path = Utf8ToU16(AbsolutePath(request.file));
    for (const norv::StatementDoc& doc : docs) {
      if (matcher.AlreadyImported(doc) && !request.again) {
        ++before;
      } else {
        store.Add(path, head.Account, doc);
        ++fresh;
      }
    }
    store.AddImport(path, head.Account, head.DateFrom, head.DateTo);
  });
  std::ostringstream lines;
  lines << HeaderJson(head).dump() << '\n';
  for (const norv::StatementDoc& doc : docs) lines << StatementDocJson(doc).dump() << '\n';
  Json summary;
  summary["Summary"]["New"] = fresh;
  summary["Summary"]["AlreadyImported"] = before;
  lines << summary.dump() << '\n';
  session.out() << lines.str();
  session.err() << "clientbank: " << fresh << " new, " << before << " already imported"
                << (request.again && before > 0 ? " (stored again: --again)" : "") << '\n';
  return kExitOk;
}

int RunRates(Session& session, const RatesRequest& request) {
  // A combo offers only the entries of its book: a code that is not there
  // cannot be chosen.
  auto rate_types = session.host().Books().OpenBook(u"REFRateType", nullptr);
  session.host().QueueFileChoice(ComponentPath(request.file));
  std::vector<hostkit::UserAction> actions{hostkit::Click(u"btSelectDPFile")};
  for (const RateColumn& column : kRateColumns) {
    auto it = request.codes.find(column.option);
    if (it == request.codes.end()) continue;
    if (!rate_types->FindByKey({Utf8ToU16(it->second)})) {
      return ErrorRaised(session,
                         ComError(norv::kErrInvalidCall, u"clientbank",
                                  norv::RuntimeErrorDescription(norv::kErrInvalidCall) + u": --" +
                                      Utf8ToU16(column.option) + u" " + Utf8ToU16(it->second) +
                                      u" is not a rate type of the book REFRateType"));
    }
    actions.push_back(hostkit::Pick(column.combo, Utf8ToU16(it->second)));
  }
  actions.push_back(hostkit::Click(u"btOk"));
  session.host().Driver().ExpectShow(u"LoadRateDlgVB", std::move(actions));

  norv::jobs::CashRateTypes cash;
  if (auto it = request.codes.find("CashBuy"); it != request.codes.end()) {
    cash.buying = Utf8ToU16(it->second);
  }
  if (auto it = request.codes.find("CashSell"); it != request.codes.end()) {
    cash.selling = Utf8ToU16(it->second);
  }
  std::shared_ptr<norv::IClientBank> bank = session.CreateClientBank();
  bool undone_by_strict = false;
  const auto keep = [&](const std::vector<norv::jobs::RateChange>& changes) {
    std::ostringstream lines;
    for (const norv::jobs::RateChange& change : changes) {
      lines << RateChangeJson(change).dump() << '\n';
    }
    session.out() << lines.str();
    undone_by_strict = request.strict && norv::jobs::AnyWarning(changes);
    return !request.dry_run && !undone_by_strict;
  };
  try {
    norv::jobs::RunCheckedRateLoad(
        session.host().database(), cash, [&] { bank->LoadRate(); }, keep);
  } catch (const ComError& error) {
    return ErrorRaised(session, error);
  }
  if (request.dry_run) session.err() << "clientbank: dry run: the load was undone\n";
  if (undone_by_strict)
    session.err() << "clientbank: the load has warnings and was undone (--strict)\n";
  if (session.host().ErrorsReported() > 0 || undone_by_strict) return kExitError;
  // Without a rate type the dialog refused OK and said why.
  if (request.codes.empty()) return kExitNothingDone;
  return kExitOk;
}

}  // namespace clientbank
