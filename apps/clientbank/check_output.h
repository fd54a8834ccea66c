// The checks' findings as the program prints them: one JSON object a line.
#pragma once

#include "jobs/payment_check.h"
#include "jobs/rate_changes.h"
#include "json_values.h"

namespace clientbank {

// {"Index", "DocNumber", "Field", "Rule", "Value", "Level": "error" | "warning"}
Json PaymentProblemJson(const norv::jobs::PaymentProblem& problem);
// {"Currency", "RateType", "Date", "OldRate", "NewRate", "ChangePercent", "Warning"?}
// (null where a rate is missing).
Json RateChangeJson(const norv::jobs::RateChange& change);

}  // namespace clientbank
