// The three jobs of the program, each one run of the component's entry points
// with its dialog answered from the options:
//   export: BeginExport (SelectFilesDlg: folder, names, then OK or Cancel),
//           ExportDoc for each document in order, EndExport(false); when an entry
//           point raises, EndExport(true) as the host does;
//   import: BeginImport, BeginImportByAccount (LoadStatementDlg: the file, the
//           credit-side box, OK), ImportDoc until false, EndImport; the documents
//           are printed as JSON Lines and stored in the database;
//   rates:  LoadRate (LoadRateDlgVB: the file, a rate type per column, OK).
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
};

struct ImportRequest {
  std::string account;
  bool credit_side = false;
  std::string file;
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
};

int RunExport(Session& session, const ExportRequest& request);
int RunImport(Session& session, const ImportRequest& request);
int RunRates(Session& session, const RatesRequest& request);

// `path` made absolute, as the component names files: "\" between the parts,
// so that it splits the folder from the name at the last "\".
std::u16string ComponentPath(const std::string& path);

}  // namespace clientbank
