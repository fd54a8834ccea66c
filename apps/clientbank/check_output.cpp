#include "check_output.h"

#include <cmath>

#include "runtime/text.h"

namespace clientbank {

using norv::U16ToUtf8;

namespace {

Json RateJson(const std::optional<norv::Currency>& rate) {
  if (!rate) return nullptr;
  return rate->ToDouble();
}

}  // namespace

Json PaymentProblemJson(const norv::jobs::PaymentProblem& problem) {
  Json line;
  line["Index"] = problem.index;
  line["DocNumber"] = U16ToUtf8(problem.doc_number);
  line["Field"] = U16ToUtf8(problem.field);
  line["Rule"] = problem.rule;
  line["Value"] = U16ToUtf8(problem.value);
  line["Level"] = problem.level == norv::jobs::ProblemLevel::kError ? "error" : "warning";
  return line;
}

Json RateChangeJson(const norv::jobs::RateChange& change) {
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
  return line;
}

}  // namespace clientbank
