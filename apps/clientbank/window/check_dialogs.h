// The window's answers to the jobs' checks: the problems the check before an
// export found, shown before the export's target dialog, and what a rate load
// changed, to keep or undo.
#pragma once

#include <vector>

#include "jobs/payment_check.h"
#include "jobs/rate_changes.h"

class QWidget;

namespace clientbank::window {

// Lists the problems. With an error among them the export cannot go on and the
// only button closes the list (returns false); with warnings only, the user
// goes on (true) or stops (false).
bool ShowPaymentProblems(QWidget* parent, const std::vector<norv::jobs::PaymentProblem>& problems);

// Lists the changes with their warnings; true keeps the load, false undoes it.
bool AskKeepRateChanges(QWidget* parent, const std::vector<norv::jobs::RateChange>& changes);

}  // namespace clientbank::window
