#include "jobs/rates_job.h"

#include "hostkit/book_layouts.h"
#include "hostkit/sqlite_books.h"
#include "jobs/dialog_outcome.h"
#include "runtime/com_error.h"

namespace norv::jobs {

RatesResult RunRates(const JobContext& context, const RatesRequest& request, JobEvents& events) {
  RatesResult result;
  DialogOutcome dialog(context.host, u"LoadRateDlgVB",
                       {u"edLBRateFile", u"cbCashBuyRateType", u"cbCashSellRateType"});
  const int errors_before = context.host.ErrorsReported();
  std::shared_ptr<IClientBank> bank = context.create_client_bank();
  try {
    const auto checked_load = [&] {
      CheckedRateLoad load = RunCheckedRateLoad(
          context.host.database(),
          [&] {
            return CashRateTypes{dialog.Text(u"cbCashBuyRateType"),
                                 dialog.Text(u"cbCashSellRateType")};
          },
          [&] { bank->LoadRate(); },
          [&](const std::vector<RateChange>& changes) { return events.KeepRateChanges(changes); });
      result.changes = std::move(load.changes);
      result.kept = load.kept;
    };
    if (request.write_lock_from_start) {
      // The rates stored before a failure stay stored, as the books promise.
      context.host.database()->Transaction(checked_load, hostkit::Database::OnFailure::kKeepDone);
    } else {
      checked_load();
    }
  } catch (const ComError& error) {
    events.Error(error);
    return result;
  }
  if (!result.kept && !result.changes.empty()) {
    events.Notice(NoticeKind::kRatesUndone, "the load was undone; the rate books are as before");
  }
  result.file = dialog.Text(u"edLBRateFile");
  if (const hostkit::BookLayout* book = hostkit::FindBook(u"REFCurrencyRate")) {
    result.rates_in_book =
        static_cast<int64_t>(hostkit::BookStore(context.host.database()).List(*book).size());
  }
  if (context.host.ErrorsReported() > errors_before) return result;
  // A dialog that refused OK (no rate type chosen) was closed without loading.
  result.status = dialog.ended_loaded() ? JobStatus::kDone : JobStatus::kNothingDone;
  return result;
}

}  // namespace norv::jobs
