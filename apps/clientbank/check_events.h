// CheckEvents: the command line's events with the checks' findings shown and
// decided on: the payment check's problems and a rate load's changes, each as a
// JSON line; whether a rate load stays.
#pragma once

#include <ostream>

#include "cli_events.h"

namespace clientbank {

struct CheckOptions {
  bool problems_to_out = false;  // export --check: the problems are the output
  bool dry_run = false;          // rates --dry-run: undo every load
  bool strict = false;           // rates --strict: undo a load that has warnings
};

class CheckEvents : public CliEvents {
 public:
  CheckEvents(CliEvents events, std::ostream& out, std::ostream& err, CheckOptions options)
      : CliEvents(std::move(events)), out_(out), err_(err), options_(options) {}

  // {"Index", "DocNumber", "Field", "Rule", "Value", "Level": "error" | "warning"}
  void PaymentProblem(const norv::jobs::PaymentProblem& problem) override;
  // {"Currency", "RateType", "Date", "OldRate", "NewRate", "ChangePercent",
  // "Warning" where one applies} on standard output, one line per change.
  bool KeepRateChanges(const std::vector<norv::jobs::RateChange>& changes) override;

  bool undone_by_strict() const { return undone_by_strict_; }

 private:
  std::ostream& out_;
  std::ostream& err_;
  CheckOptions options_;
  bool undone_by_strict_ = false;
};

}  // namespace clientbank
