// The command line's side of the three jobs (src/jobs): it answers each job's
// dialog from the options through the scripted forms driver, runs the job, and
// prints what the job tells (cli_events.h):
//   export: SelectFilesDlg: the folder (through the folder choice behind the
//           box's browse button), the names, then OK or Cancel;
//   import: LoadStatementDlg: the file (through the file-open dialog), the
//           credit-side box, OK; the documents are printed as JSON Lines;
//   rates:  LoadRateDlgVB: the file, a rate type per column, OK.
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

struct ExportOptions {
  norv::Date end_date;
  std::optional<std::string> folder;
  std::optional<std::string> dp_name;
  std::optional<std::string> fp_name;
  bool cancel = false;
  std::string docs_file;
  bool check_only = false;  // --check: check every document, write nothing
  bool strict = false;      // --strict: warnings stop the run as errors do
};

struct ImportOptions {
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

struct RatesOptions {
  std::map<std::string, std::string> codes;  // option name -> rate type code
  std::string file;
  bool dry_run = false;  // --dry-run: show what the load changes, keep nothing
  bool strict = false;   // --strict: undo a load that has warnings
};

int RunExport(Session& session, const ExportOptions& options);
int RunImport(Session& session, const ImportOptions& options);
int RunRates(Session& session, const RatesOptions& options);

// `path` made absolute, as the component names files: "\" between the parts,
// so that it splits the folder from the name at the last "\".
std::u16string ComponentPath(const std::string& path);

}  // namespace clientbank
