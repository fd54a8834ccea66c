// RateChangeLog: what a rate load changed in the rate book, with the warnings
// that make a load suspect, computed before the load is committed so that the
// user (or --strict) can still undo it.
//
// While the log lives, temporary triggers on the rate book's table record every
// rate the load inserts, replaces or deletes; the log is made after the load's
// savepoint was opened and read before it is released. Warnings:
//   - the rate moves more than 10% from the rate it replaces or, for a new
//     date, from the latest earlier rate of the same currency and type;
//   - the file's date is older than the newest rate stored before the load
//     for the same rate type (last month's file loaded again);
//   - a cash buying rate above the cash selling rate of the same currency and
//     day (the columns mapped to the wrong rate types).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hostkit/database.h"
#include "runtime/currency.h"
#include "runtime/date.h"

namespace norv::jobs {

struct RateChange {
  std::u16string currency;
  std::u16string rate_type;
  Date date;
  std::optional<Currency> old_rate;  // none: no earlier rate
  std::optional<Currency> new_rate;  // none: the load deleted the rate
  std::optional<double> change_percent;
  std::u16string warning;  // empty: nothing suspect
};

// The rate types the user mapped to the cash columns; empty when not mapped.
struct CashRateTypes {
  std::u16string buying;
  std::u16string selling;
};

class RateChangeLog {
 public:
  // Notes the newest stored date per rate type and starts recording.
  explicit RateChangeLog(std::shared_ptr<hostkit::Database> db);
  // Stops recording.
  ~RateChangeLog();
  RateChangeLog(const RateChangeLog&) = delete;
  RateChangeLog& operator=(const RateChangeLog&) = delete;

  // Every change recorded so far, in the order made, each with its warning.
  std::vector<RateChange> Changes(const CashRateTypes& cash);

 private:
  std::shared_ptr<hostkit::Database> db_;
};

// Changes beyond this share of the earlier rate are suspect.
inline constexpr double kSuspectRateMovePercent = 10.0;

bool AnyWarning(const std::vector<RateChange>& changes);

struct CheckedRateLoad {
  std::vector<RateChange> changes;
  bool kept = false;
};

// Runs `load` (the component's LoadRate) inside a savepoint, computes what it
// changed and asks `keep` whether the load stays: the decision point of a dry
// run (never), of --strict (no warnings) and of the window's Keep / Undo. A
// load that raises is decided on too, with what it changed before it failed
// (the component keeps rates written before a failure), then its error passes on.
// `cash` is asked after the load (the dialog that chooses the types ends within it).
CheckedRateLoad RunCheckedRateLoad(const std::shared_ptr<hostkit::Database>& db,
                                   const std::function<CashRateTypes()>& cash,
                                   const std::function<void()>& load,
                                   const std::function<bool(const std::vector<RateChange>&)>& keep);

}  // namespace norv::jobs
