// CLoadRate: stores currency rates, one at a time, into the host's currency
// reference books. Creation opens "REFCurrency", "REFCurrencyRate" and
// "REFCurrencyRateType" in the current session; release lets them go in that
// same order. The writer keeps no data of its own: everything lives in the host.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/book.h"
#include "runtime/currency.h"
#include "runtime/date.h"

namespace norv {

class CLoadRate {
 public:
  // Opens the three books; a host failure passes to the caller.
  CLoadRate();
  ~CLoadRate();
  CLoadRate(const CLoadRate&) = delete;
  CLoadRate& operator=(const CLoadRate&) = delete;

  // Inserts, updates or deletes the rate of (CurrencyCode, RateType, RateDate).
  // `Rate` is the real rate times `RateKoef`. A rate that cannot be placed (empty
  // code or type, empty date, RateKoef 0, unknown currency or rate type) is
  // skipped silently. A zero Rate deletes an existing record and stores nothing
  // new. Host and arithmetic failures pass to the caller; rates written earlier
  // stay written.
  void WriteRate(const std::u16string& CurrencyCode, const std::u16string& RateType, Date RateDate,
                 Currency Rate, int32_t RateKoef = 0);

 private:
  std::shared_ptr<host::Book> m_oCurrency;
  std::shared_ptr<host::Book> m_oCurrencyRate;
  std::shared_ptr<host::Book> m_oCurrencyRateType;
};

}  // namespace norv
