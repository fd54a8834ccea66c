#include "rates/load_rate.h"

#include <variant>
#include <vector>

#include "host/host_library.h"
#include "runtime/com_error.h"
#include "runtime/variant.h"

namespace norv {

namespace {

// Each book is opened in the session of the host's current context, asked for
// afresh per book as the host may switch contexts between openings.
std::shared_ptr<host::Book> OpenInCurrentSession(const std::u16string& name) {
  host::HostLibrary& library = host::HostLibrary::Current();
  std::shared_ptr<host::Context> context = library.App().GetContext();
  if (!context) RaiseRuntime(kErrObjectNotSet);
  std::shared_ptr<host::Book> book = library.Books().OpenBook(name, context->GetSession());
  if (!book) RaiseRuntime(kErrObjectNotSet);
  return book;
}

// A field value tested against 0 as the platform compares: an empty value equals 0.
bool IsZeroValue(const Variant& value) {
  return std::holds_alternative<std::monostate>(value) || VariantToDouble(value) == 0.0;
}

// A unit count in arithmetic: an empty field is a null, which no arithmetic accepts.
double NumberForArithmetic(const Variant& value) {
  if (std::holds_alternative<std::monostate>(value)) {
    throw ComError(94, kDefaultErrorSource, u"Invalid use of Null");
  }
  return VariantToDouble(value);
}

}  // namespace

CLoadRate::CLoadRate()
    : m_oCurrency(OpenInCurrentSession(u"REFCurrency")),
      m_oCurrencyRate(OpenInCurrentSession(u"REFCurrencyRate")),
      m_oCurrencyRateType(OpenInCurrentSession(u"REFCurrencyRateType")) {}

CLoadRate::~CLoadRate() {
  // The host expects its books back in the order they were opened.
  m_oCurrency.reset();
  m_oCurrencyRate.reset();
  m_oCurrencyRateType.reset();
}

void CLoadRate::WriteRate(const std::u16string& CurrencyCode, const std::u16string& RateType,
                          Date RateDate, Currency Rate, int32_t RateKoef) {
  host::HostLibrary& library = host::HostLibrary::Current();
  const std::unique_ptr<host::WaitIndicator> wait = library.CreateWaitIndicator();

  if (CurrencyCode.empty() || RateType.empty() || RateDate.IsEmpty() || RateKoef == 0) return;
  if (!m_oCurrency->FindByKey({Variant(CurrencyCode)})) return;
  if (!m_oCurrencyRateType->FindByKey({Variant(RateType), Variant(CurrencyCode)})) return;

  // Every "zero" below is the incoming rate: a tiny rate that rounds to 0.0000
  // is still stored, only a zero in the file removes a rate.
  const bool zero_rate = Rate.IsZero();
  Currency new_rate;
  if (!zero_rate) {
    const bool reverse = !IsZeroValue(m_oCurrencyRateType->Fields().Item(u"IsReverse").Value());
    const double amount =
        NumberForArithmetic(m_oCurrencyRateType->Fields().Item(u"Amount").Value());
    const double rate = Rate.ToDouble();
    const double koef = static_cast<double>(RateKoef);
    const double converted = reverse ? amount / rate * koef : rate * amount / koef;
    new_rate = library.Utility().RoundMoney(Currency::FromDouble(converted), 4);
  }

  const bool found =
      m_oCurrencyRate->FindByKey({Variant(CurrencyCode), Variant(RateType), Variant(RateDate)});
  host::Book& rates = *m_oCurrencyRate;
  if (!found) {
    rates.BeginNew();
    rates.Fields().Item(u"CurrencyCode").SetValue(CurrencyCode);
    rates.Fields().Item(u"RateTypeCode").SetValue(RateType);
    rates.Fields().Item(u"DateRate").SetValue(RateDate);
    rates.Fields().Item(u"Rate").SetValue(new_rate);
    if (!zero_rate) rates.StoreNew();
    return;
  }
  rates.Fields().Item(u"Rate").SetValue(new_rate);
  const int32_t idc = VariantToInt32(rates.Fields().Item(u"IDC").Value());
  if (zero_rate) {
    rates.DeleteById(idc);
  } else {
    rates.UpdateById(idc);
  }
}

}  // namespace norv
