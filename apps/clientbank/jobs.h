// The three jobs of the program, each one run of the component's entry points
// with its dialog answered from the options:
//   export: BeginExport (SelectFilesDlg: folder, names, then OK or Cancel),
//           ExportDoc for each document in order, EndExport(false); when an entry
//           point raises, EndExport(true) as the host does;
//   import: BeginImport, BeginImportByAccount (LoadStatementDlg: the file, the
//           credit-side box, OK), ImportDoc until false, EndImport; the documents
//           are printed as JSON Lines and stored in the database;
//   rates:  LoadRate (LoadRateDlgVB: the file, a rate type per column, OK).
// Before the export's dialog every document is checked (jobs/payment_check.h):
// the problems go out as JSON Lines (standard output with --check, standard
// error otherwise); errors, or warnings with --strict, end the run with nothing
// written. An import skips the documents stored before (unless --again) and
// says how many; a rates load runs inside a savepoint and prints what it changed.
// Each returns the program's exit status: 0 done, 1 nothing done (import without
// a statement, rates without a rate type), 2 an error was raised or reported.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "runtime/date.h"
#include "session.h"

namespace clientbank {

inline constexpr int kExitOk = 0;
inline constexpr int kExitNothingDone = 1;
inline constexpr int kExitError = 2;

struct ExportRequest {
  norv::Date end_date;
  std::optional<std::string> folder;
  std::optional<std::string> dp_name;
  std::optional<std::string> fp_name;
  bool cancel = false;
  std::string docs_file;
  bool check_only = false;  // --check: check every document, write nothing
  bool strict = false;      // --strict: warnings stop the run as errors do
};

struct ImportRequest {
  std::string account;
  bool credit_side = false;
  std::string file;
  bool again = false;  // --again: store documents imported before as well
};

// The rate-type combos of the rate dialog, in column order, with their options.
struct RateColumn {
  const char* option;  // "LB", "CashBuy", ...
  const char16_t* combo;
};
inline constexpr RateColumn kRateColumns[] = {
    {"LB", u"cbLBRateType"},
    {"CashBuy", u"cbCashBuyRateType"},
    {"CashSell", u"cbCashSellRateType"},
    {"Buy", u"cbBuyRateType"},
    {"Sell", u"cbSellRateType"},
    {"Check", u"cbCheckRateType"},
};

struct RatesRequest {
  std::map<std::string, std::string> codes;  // option name -> rate type code
  std::string file;
  bool dry_run = false;  // --dry-run: show what the load changes, keep nothing
  bool strict = false;   // --strict: undo a load that has warnings
};

int RunExport(Session& session, const ExportRequest& request);
int RunImport(Session& session, const ImportRequest& request);
int RunRates(Session& session, const RatesRequest& request);

// `path` made absolute, as the component names files: "\" between the parts,
// so that it splits the folder from the name at the last "\".
std::u16string ComponentPath(const std::string& path);

}  // namespace clientbank
