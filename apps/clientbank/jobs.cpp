#include "jobs.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include "core/records.h"
#include "files/file_system.h"
#include "forms/control.h"
#include "forms/form.h"
#include "hostkit/console_services.h"
#include "hostkit/scripted_driver.h"
#include "hostkit/sqlite_books.h"
#include "hostkit/statement_store.h"
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

// Names a file that another program holds open, and the holder when the system
// tells: "file in use: /bank/240131.mok (held by process 4242 clientbank)".
void SayFileInUse(Session& session, const std::string& path, bool even_without_holder) {
  std::string holders;
  for (long pid : norv::ProcessesLockingFile(Utf8ToU16(path))) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    holders += (holders.empty() ? " (held by process " : ", ") + std::to_string(pid) +
               (name.empty() ? "" : " " + name);
  }
  if (holders.empty() && !even_without_holder) return;
  session.err() << "file in use: " << path << (holders.empty() ? "" : holders + ")") << '\n';
}

int ErrorRaised(Session& session, const ComError& error) {
  session.err() << hostkit::ErrorLine(error) << '\n';
  return kExitError;
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
  const ExportDocument* writing = nullptr;
  try {
    bank->BeginExport(request.end_date, request.end_date);
    before = LookAtRunFiles(folder, dp_name, fp_name);
    for (ExportDocument& entry : docs) {
      writing = &entry;
      int32_t doc_type = entry.doc_type;
      bank->ExportDoc(doc_type, entry.doc);
      ++(entry.doc_type == norv::kLocalPayment ? local : foreign);
    }
    writing = nullptr;
    bool end_by_error = false;
    bank->EndExport(end_by_error);
  } catch (const ComError& error) {
    ErrorRaised(session, error);
    // Another program writing or reading the file refuses its creation (70).
    if (error.number() == norv::kErrPermissionDenied && writing != nullptr) {
      SayFileInUse(session,
                   DiskPath(folder, writing->doc_type == norv::kLocalPayment ? dp_name : fp_name),
                   true);
    }
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
  if (session.host().ErrorsReported() > 0) {
    SayFileInUse(session, AbsolutePath(request.file), false);
    return kExitError;
  }
  if (!accepted) {
    bool dialog_closed = session.host().Driver().Problems().size() > problems_before;
    session.err() << "clientbank: nothing imported: "
                  << (dialog_closed ? "the statement dialog was closed without a statement"
                                    : "the statement '" + AbsolutePath(request.file) +
                                          "' has no line of the account " + request.account)
                  << '\n';
    return kExitNothingDone;
  }
  hostkit::StatementStore store(session.host().database());
  session.host().database()->Transaction([&] {
    std::u16string path = Utf8ToU16(AbsolutePath(request.file));
    for (const norv::StatementDoc& doc : docs) store.Add(path, head.Account, doc);
  });
  std::ostringstream lines;
  lines << HeaderJson(head).dump() << '\n';
  for (const norv::StatementDoc& doc : docs) lines << StatementDocJson(doc).dump() << '\n';
  session.out() << lines.str();
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

  std::shared_ptr<norv::IClientBank> bank = session.CreateClientBank();
  try {
    // One write transaction from the start, so that a rate looked up and then
    // stored is not stored by another program in between; the rates stored
    // before a failure stay stored, as the books promise.
    session.host().database()->Transaction([&] { bank->LoadRate(); },
                                           hostkit::Database::OnFailure::kKeepDone);
  } catch (const ComError& error) {
    return ErrorRaised(session, error);
  }
  if (session.host().ErrorsReported() > 0) {
    SayFileInUse(session, AbsolutePath(request.file), false);
    return kExitError;
  }
  // Without a rate type the dialog refused OK and said why.
  if (request.codes.empty()) return kExitNothingDone;
  return kExitOk;
}

}  // namespace clientbank
