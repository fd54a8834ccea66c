// Fuzzes a whole rate load: the input is the rate file, read by the rate dialog
// under two regional presets (lt-LT for even sizes, en-US for odd ones) and
// written into the recording host's books, with every column given a rate type.
// The dialog traps its errors, so each load ends either in the summary message
// or in one reported error (0x80040064), never both; the books only ever hold
// rates of the known currencies and types, one per currency, type and date.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <tuple>

#include "core/error_numbers.h"
#include "fuzz_support.h"
#include "host/message_window.h"
#include "rates/load_rate_command.h"
#include "rates/load_rate_dlg.h"
#include "support/recording_host.h"

namespace {

constexpr char16_t kPath[] = u"\\fuzz\\rates.txt";
constexpr const char16_t* kTypes[] = {u"LB", u"CB", u"CS", u"B", u"S", u"CH"};
constexpr const char16_t* kCombos[] = {u"cbLBRateType",       u"cbCashBuyRateType",
                                       u"cbCashSellRateType", u"cbBuyRateType",
                                       u"cbSellRateType",     u"cbCheckRateType"};

void SetUpBooks(norv::testing::RecordingHost& host) {
  for (const char16_t* type : kTypes) {
    host.AddRecord(u"REFRateType", {{u"Code", type}});
    // USD stored directly per unit, EUR reverse per 100 units: both formulas run.
    host.AddRecord(
        u"REFCurrencyRateType",
        {{u"RateTypeCode", type}, {u"CurrencyCode", u"USD"}, {u"Amount", 1}, {u"IsReverse", 0}});
    host.AddRecord(
        u"REFCurrencyRateType",
        {{u"RateTypeCode", type}, {u"CurrencyCode", u"EUR"}, {u"Amount", 100}, {u"IsReverse", -1}});
  }
  host.AddRecord(u"REFCurrency", {{u"CurrencyCode", u"USD"}});
  host.AddRecord(u"REFCurrency", {{u"CurrencyCode", u"EUR"}});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace norv;
  RegionalSettings::SetCurrent(size % 2 == 0 ? RegionalSettings::LtLT() : RegionalSettings::EnUS());
  fuzz::Files().Put(kPath, std::string_view(reinterpret_cast<const char*>(data), size));
  testing::ScopedRecordingHost host;
  host->KeepCallLogs(false);
  SetUpBooks(*host);
  {
    LoadRateDlgVB dlg;
    std::vector<hostkit::UserAction> actions = {hostkit::Type(u"edLBRateFile", kPath)};
    for (size_t i = 0; i < 6; ++i) actions.push_back(hostkit::Pick(kCombos[i], kTypes[i]));
    actions.push_back(hostkit::Click(u"btOk"));
    host->Driver().ExpectShow(u"LoadRateDlgVB", std::move(actions));
    std::u16string key, name;
    try {
      dlg.Run(key, name);
    } catch (const ComError& error) {
      fuzz::Broken(std::string("the rate dialog let an error out: ") + error.what());
    }
  }
  ReleaseLoadRateDlg();

  size_t summaries = 0;
  for (const testing::MessageCall& message : host->Messages()) {
    if (message.kind == host::kMessageInformation) ++summaries;
  }
  const size_t errors = host->Errors().size();
  fuzz::Require(summaries + errors == 1, "a load must end in one summary or one error");
  for (const testing::ReportedError& error : host->Errors()) {
    fuzz::Require(error.number == kErrRateLoadFailed, "a load error of another number");
  }
  std::set<std::tuple<std::u16string, std::u16string, double>> keys;
  for (const testing::Record& rate : host->Records(u"REFCurrencyRate")) {
    const std::u16string currency = VariantToText(rate.at(u"CurrencyCode"));
    const std::u16string type = VariantToText(rate.at(u"RateTypeCode"));
    fuzz::Require(currency == u"USD" || currency == u"EUR", "a rate of an unknown currency");
    bool known_type = false;
    for (const char16_t* t : kTypes) known_type = known_type || type == t;
    fuzz::Require(known_type, "a rate of an unknown type");
    const Date day = std::get<Date>(rate.at(u"DateRate"));
    fuzz::Require(!day.IsEmpty(), "a rate without a date");
    fuzz::Require(keys.emplace(currency, type, day.serial()).second, "a rate stored twice");
  }
  RegionalSettings::SetCurrent(RegionalSettings::LtLT());
  return 0;
}
