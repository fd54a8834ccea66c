// Fuzzes a whole rate load: the input is the rate file, read by the rate dialog
// under two regional presets (lt-LT for even sizes, en-US for odd ones) and
// written into the recording host's books, with every column given a rate type.
// The dialog traps its errors, so each load ends either in the summary message
// or in one reported error (0x80040064), never both; the books only ever hold
// rates of the known currencies and types, one per currency, type and date.
#include <algorithm>
#include <set>
#include <string>
#include <tuple>

#include "core/error_numbers.h"
#include "fuzz_support.h"
#include "host/message_window.h"
#include "rates/load_rate_command.h"
#include "rates/load_rate_dlg.h"

void FuzzOne(norv::fuzz::FuzzInput& in) {
  using namespace norv;
  static constexpr std::u16string_view kTypes[] = {u"LB", u"CB", u"CS", u"B", u"S", u"CH"};
  static constexpr const char16_t* kCombos[] = {u"cbLBRateType",       u"cbCashBuyRateType",
                                                u"cbCashSellRateType", u"cbBuyRateType",
                                                u"cbSellRateType",     u"cbCheckRateType"};
  RegionalSettings::SetCurrent(in.size % 2 == 0 ? RegionalSettings::LtLT()
                                                : RegionalSettings::EnUS());
  const std::u16string path = fuzz::InputFile("rates.txt", in.Rest());
  testing::ScopedRecordingHost host;
  host->KeepCallLogs(false);
  std::vector<hostkit::UserAction> actions = {hostkit::Type(u"edLBRateFile", path)};
  for (size_t i = 0; i < 6; ++i) {
    const std::u16string type(kTypes[i]);
    host->AddRecord(u"REFRateType", {{u"Code", type}});
    // USD stored directly per unit, EUR reverse per 100 units: both formulas run.
    host->AddRecord(
        u"REFCurrencyRateType",
        {{u"RateTypeCode", type}, {u"CurrencyCode", u"USD"}, {u"Amount", 1}, {u"IsReverse", 0}});
    host->AddRecord(
        u"REFCurrencyRateType",
        {{u"RateTypeCode", type}, {u"CurrencyCode", u"EUR"}, {u"Amount", 100}, {u"IsReverse", -1}});
    actions.push_back(hostkit::Pick(kCombos[i], type));
  }
  host->AddRecord(u"REFCurrency", {{u"CurrencyCode", u"USD"}});
  host->AddRecord(u"REFCurrency", {{u"CurrencyCode", u"EUR"}});
  actions.push_back(hostkit::Click(u"btOk"));
  host->Driver().ExpectShow(u"LoadRateDlgVB", std::move(actions));
  std::u16string key, name;
  fuzz::ErrorOf([&] { LoadRateDlgVB().Run(key, name); }, {});  // the dialog traps its errors
  ReleaseLoadRateDlg();

  size_t ends = host->Errors().size();
  for (const testing::MessageCall& message : host->Messages()) {
    ends += message.kind == host::kMessageInformation;
  }
  fuzz::Require(ends == 1, "a load must end in one summary or one error");
  for (const testing::ReportedError& error : host->Errors()) {
    fuzz::Require(error.number == kErrRateLoadFailed, "a load error of another number");
  }
  std::set<std::tuple<std::u16string, std::u16string, double>> keys;
  for (const testing::Record& rate : host->Records(u"REFCurrencyRate")) {
    const std::u16string currency = VariantToText(rate.at(u"CurrencyCode"));
    const std::u16string type = VariantToText(rate.at(u"RateTypeCode"));
    fuzz::Require(currency == u"USD" || currency == u"EUR", "a rate of an unknown currency");
    fuzz::Require(std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes),
                  "a rate of an unknown type");
    const Date day = std::get<Date>(rate.at(u"DateRate"));
    fuzz::Require(!day.IsEmpty(), "a rate without a date");
    fuzz::Require(keys.emplace(currency, type, day.serial()).second, "a rate stored twice");
  }
}
