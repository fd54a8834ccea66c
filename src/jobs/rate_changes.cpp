#include "jobs/rate_changes.h"

#include <cmath>
#include <cstdio>
#include <exception>

#include "jobs/json_values.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace norv::jobs {
namespace {

using hostkit::Statement;

// The log lives in the connection's temporary database: nothing of it reaches
// the file, and another program's connection never sees it.
constexpr char kStart[] =
    "CREATE TEMP TABLE IF NOT EXISTS rate_log (seq INTEGER PRIMARY KEY, currency TEXT,"
    " type TEXT, date REAL, old_rate INTEGER, new_rate INTEGER);"
    "DELETE FROM temp.rate_log;"
    "DROP TABLE IF EXISTS temp.rate_newest;"
    "CREATE TEMP TABLE rate_newest AS SELECT RateTypeCode AS type, MAX(DateRate) AS newest"
    " FROM main.book_REFCurrencyRate GROUP BY RateTypeCode;"
    // A new date: the latest earlier rate of the same currency and type is the old one.
    "CREATE TEMP TRIGGER IF NOT EXISTS rate_log_insert AFTER INSERT ON main.book_REFCurrencyRate"
    " BEGIN INSERT INTO rate_log (currency, type, date, old_rate, new_rate) VALUES"
    " (NEW.CurrencyCode, NEW.RateTypeCode, NEW.DateRate,"
    " (SELECT Rate FROM main.book_REFCurrencyRate r WHERE r.CurrencyCode = NEW.CurrencyCode"
    " AND r.RateTypeCode = NEW.RateTypeCode AND r.DateRate < NEW.DateRate"
    " ORDER BY r.DateRate DESC LIMIT 1), NEW.Rate); END;"
    "CREATE TEMP TRIGGER IF NOT EXISTS rate_log_update AFTER UPDATE ON main.book_REFCurrencyRate"
    " BEGIN INSERT INTO rate_log (currency, type, date, old_rate, new_rate) VALUES"
    " (NEW.CurrencyCode, NEW.RateTypeCode, NEW.DateRate, OLD.Rate, NEW.Rate); END;"
    "CREATE TEMP TRIGGER IF NOT EXISTS rate_log_delete AFTER DELETE ON main.book_REFCurrencyRate"
    " BEGIN INSERT INTO rate_log (currency, type, date, old_rate, new_rate) VALUES"
    " (OLD.CurrencyCode, OLD.RateTypeCode, OLD.DateRate, OLD.Rate, NULL); END;";

constexpr char kStop[] =
    "DROP TRIGGER IF EXISTS temp.rate_log_insert;"
    "DROP TRIGGER IF EXISTS temp.rate_log_update;"
    "DROP TRIGGER IF EXISTS temp.rate_log_delete;";

std::optional<Currency> RateColumn(const Statement& row, int column) {
  if (row.IsNull(column)) return std::nullopt;
  return Currency::FromRaw(row.Int64(column));
}

std::u16string DayText(Date date) { return Utf8ToU16(DateText(date)); }
std::u16string RateText(Currency rate) { return Utf8ToU16(AmountText(rate)); }

void AddWarning(RateChange& change, const std::u16string& text) {
  if (!change.warning.empty()) change.warning += u"; ";
  change.warning += text;
}

}  // namespace

RateChangeLog::RateChangeLog(std::shared_ptr<hostkit::Database> db) : db_(std::move(db)) {
  db_->Execute(kStart);
}

RateChangeLog::~RateChangeLog() {
  try {
    db_->Execute(kStop);
  } catch (const ComError&) {
    // Temporary triggers end with the connection at the latest; a failure to
    // drop them early leaves nothing behind in the file.
  }
}

std::vector<RateChange> RateChangeLog::Changes(const CashRateTypes& cash) {
  Statement log = db_->Prepare(
      "SELECT l.currency, l.type, l.date, l.old_rate, l.new_rate, n.newest,"
      " (SELECT s.Rate FROM main.book_REFCurrencyRate s WHERE s.CurrencyCode = l.currency"
      "  AND s.RateTypeCode = ? AND s.DateRate = l.date)"
      " FROM temp.rate_log l LEFT JOIN temp.rate_newest n ON n.type = l.type ORDER BY l.seq");
  log.Bind(1, std::u16string_view(cash.selling));
  std::vector<RateChange> changes;
  while (log.Step()) {
    RateChange& change = changes.emplace_back();
    change.currency = log.Text(0);
    change.rate_type = log.Text(1);
    change.date = Date(log.Double(2));
    change.old_rate = RateColumn(log, 3);
    change.new_rate = RateColumn(log, 4);
    if (change.old_rate && change.new_rate && !change.old_rate->IsZero()) {
      const double old_rate = change.old_rate->ToDouble();
      change.change_percent = (change.new_rate->ToDouble() - old_rate) / old_rate * 100.0;
      if (std::fabs(*change.change_percent) > kSuspectRateMovePercent) {
        char percent[32];
        std::snprintf(percent, sizeof percent, "%+.2f%%", *change.change_percent);
        AddWarning(change, u"moves " + Utf8ToU16(percent) + u" from " + RateText(*change.old_rate) +
                               u", more than 10%");
      }
    }
    if (!log.IsNull(5) && change.date < Date(log.Double(5))) {
      AddWarning(change, u"the file's date " + DayText(change.date) +
                             u" is older than the newest stored rate of type " + change.rate_type +
                             u" (" + DayText(Date(log.Double(5))) + u")");
    }
    const std::optional<Currency> selling = RateColumn(log, 6);
    if (!cash.buying.empty() && change.rate_type == cash.buying && change.new_rate && selling &&
        *change.new_rate > *selling) {
      AddWarning(change, u"the cash buying rate is above the cash selling rate " +
                             RateText(*selling) + u" (" + cash.selling +
                             u") of the same day: are the columns mixed up?");
    }
  }
  return changes;
}

bool AnyWarning(const std::vector<RateChange>& changes) {
  for (const RateChange& change : changes) {
    if (!change.warning.empty()) return true;
  }
  return false;
}

CheckedRateLoad RunCheckedRateLoad(
    const std::shared_ptr<hostkit::Database>& db, const std::function<CashRateTypes()>& cash,
    const std::function<void()>& load,
    const std::function<bool(const std::vector<RateChange>&)>& keep) {
  RateChangeLog log(db);
  CheckedRateLoad result;
  db->Execute("SAVEPOINT rate_load");
  std::exception_ptr failure;
  try {
    load();
  } catch (const ComError&) {
    failure = std::current_exception();  // decided on below, then raised again
  }
  try {
    result.changes = log.Changes(cash());
    result.kept = keep(result.changes);
  } catch (...) {
    db->Execute("ROLLBACK TO rate_load; RELEASE rate_load");
    throw;
  }
  db->Execute(result.kept ? "RELEASE rate_load" : "ROLLBACK TO rate_load; RELEASE rate_load");
  if (failure) std::rethrow_exception(failure);
  return result;
}

}  // namespace norv::jobs
