#include "check_events.h"

#include <cmath>
#include <sstream>

#include "json_values.h"
#include "runtime/text.h"

namespace clientbank {

using norv::U16ToUtf8;

namespace {

// Rates as the program prints every amount: a string with four decimals.
Json RateJson(const std::optional<norv::Currency>& rate) {
  if (!rate) return nullptr;
  return AmountText(*rate);
}

}  // namespace

void CheckEvents::PaymentProblem(const norv::jobs::PaymentProblem& problem) {
  Json line;
  line["Index"] = problem.index;
  line["DocNumber"] = U16ToUtf8(problem.doc_number);
  line["Field"] = U16ToUtf8(problem.field);
  line["Rule"] = problem.rule;
  line["Value"] = U16ToUtf8(problem.value);
  line["Level"] = problem.level == norv::jobs::ProblemLevel::kError ? "error" : "warning";
  (options_.problems_to_out ? out_ : err_) << line.dump() << '\n';
}

bool CheckEvents::KeepRateChanges(const std::vector<norv::jobs::RateChange>& changes) {
  std::ostringstream lines;
  for (const norv::jobs::RateChange& change : changes) {
    Json line;
    line["Currency"] = U16ToUtf8(change.currency);
    line["RateType"] = U16ToUtf8(change.rate_type);
    line["Date"] = DateText(change.date);
    line["OldRate"] = RateJson(change.old_rate);
    line["NewRate"] = RateJson(change.new_rate);
    line["ChangePercent"] = nullptr;
    if (change.change_percent) {
      line["ChangePercent"] = std::round(*change.change_percent * 100.0) / 100.0;
    }
    if (!change.warning.empty()) line["Warning"] = U16ToUtf8(change.warning);
    lines << line.dump() << '\n';
  }
  out_ << lines.str();
  undone_by_strict_ = options_.strict && norv::jobs::AnyWarning(changes);
  return !options_.dry_run && !undone_by_strict_;
}

}  // namespace clientbank
