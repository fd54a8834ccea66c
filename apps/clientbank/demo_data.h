// The demo's data: reference data for the books (init --demo and demo) and the
// sample files of the three jobs.
#pragma once

#include <string>

#include "hostkit/default_host.h"
#include "runtime/date.h"

namespace clientbank {

struct DemoCounts {
  int currencies = 0;
  int rate_types = 0;
  int currency_rate_types = 0;
  int path_keys = 0;
};

// Currencies EUR, USD, GBP, PLN and LTL, the six rate types LB, CashBuy,
// CashSell, Buy, Sell and Check (REFRateType), each currency's rate types, and
// the folder keys "RazizeRuveRO" and "ClientBank" pointing at `folder`.
DemoCounts AddDemoReferenceData(norv::hostkit::DefaultHost& host, const std::string& folder);

// The account of the sample statement, and the date of the sample rates.
inline constexpr char kDemoAccount[] = "12345678901";
norv::Date DemoRateDate();
norv::Date DemoEndDate();

// Two local payments and one foreign payment, as a DOCS.json array.
std::string DemoPaymentsJson();
// A statement of the demo account (a balance line, two operations, a line of
// another account, "GALAS"), as the bank writes it: lines through the host's
// line converter, Windows-1257, CR LF; amounts and dates under the current
// regional settings.
std::string DemoStatementBytes(norv::hostkit::DefaultHost& host);
// A rate file of four currencies with all six columns, the rate date and "GALAS".
std::string DemoRateFileBytes(norv::hostkit::DefaultHost& host);

}  // namespace clientbank
