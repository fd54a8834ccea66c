// Whole rate loads: LoadRateDlgVB played by the scripted driver over rate files
// in a temporary folder, writing into the recording host's books.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "rates/load_rate_command.h"
#include "rates/load_rate_dlg.h"
#include "runtime/regional.h"
#include "runtime/text.h"
#include "support/bank_files.h"
#include "support/recording_host.h"

namespace norv {
namespace {

using hostkit::Call;
using hostkit::Click;
using hostkit::Pick;
using hostkit::Type;
using hostkit::UserAction;
using testing::RateLine;

constexpr char16_t kRates[] = u"REFCurrencyRate";
const Date kDay = Date::FromCivil(2006, 3, 31);

// A file of one USD line, then the date and the end line.
std::vector<std::string> UsdFile(const std::vector<std::string>& rates) {
  return {RateLine("USD", rates), "2006.03.31", "GALAS"};
}

class RateDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char16_t* type : {u"LB", u"CB", u"CS", u"B", u"S", u"CH"}) {
      host->AddRecord(u"REFRateType", {{u"Code", type}});
      // EUR keeps 10000 units so that its stored rate shows every decimal that arrived.
      for (auto [currency, amount] : {std::pair{u"USD", 1}, std::pair{u"EUR", 10000}}) {
        host->AddRecord(u"REFCurrencyRateType", {{u"RateTypeCode", type},
                                                 {u"CurrencyCode", currency},
                                                 {u"Amount", amount},
                                                 {u"IsReverse", 0}});
      }
    }
    host->AddRecord(u"REFCurrency", {{u"CurrencyCode", u"USD"}});
    host->AddRecord(u"REFCurrency", {{u"CurrencyCode", u"EUR"}});
    dlg.lbStatus.Changed().Connect([this] {
      if (!dlg.lbStatus.Caption().empty()) statuses.push_back(dlg.lbStatus.Caption());
    });
  }
  void TearDown() override {
    RegionalSettings::SetCurrent(RegionalSettings::LtLT());
    ReleaseLoadRateDlg();
  }

  std::u16string WriteFile(const std::vector<std::string>& lines) {
    folder.WriteBytes("rates.txt", testing::BankFile(lines));
    return Utf8ToU16(folder.File("rates.txt"));
  }
  bool Load(std::vector<UserAction> actions) {
    host->Driver().ExpectShow(u"LoadRateDlgVB", std::move(actions));
    std::u16string key, name;
    return dlg.Run(key, name);
  }
  // "CUR/TYPE=rate" for every stored rate of kDay, in book order, blank-separated.
  std::u16string Stored() {
    std::u16string out;
    for (const testing::Record& r : host->Records(kRates)) {
      EXPECT_EQ(r.at(u"DateRate"), Variant(kDay));
      out += (out.empty() ? u"" : u" ") + VariantToText(r.at(u"CurrencyCode")) + u"/" +
             VariantToText(r.at(u"RateTypeCode")) + u"=" + VariantToText(r.at(u"Rate"));
    }
    return out;
  }
  std::vector<std::u16string> Summaries() {
    std::vector<std::u16string> out;
    for (const auto& m : host->Messages()) {
      if (m.kind == host::kMessageInformation) out.push_back(m.text);
    }
    return out;
  }
  std::u16string Summary(int count) { return host->Text(998) + u" " + IntToText(count); }

  testing::ScopedRecordingHost host;
  testing::TempFolder folder;
  LoadRateDlgVB dlg;
  std::vector<std::u16string> statuses;
};

struct LoadCase {
  const char* name;
  std::vector<std::string> lines;  // none: the box names no file, or a missing one
  std::u16string stored;
  int summary;        // the count reported, or -1 when the load fails
  int32_t cause = 0;  // of the failure; kErrFileNotFound alone names a missing file
  const char16_t* preset = u"lt-LT";
};

class RateLoadTest : public RateDialogTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(RateLoadTest, StoresWhatTheFileHoldsOrReportsTheLoadError) {
  const LoadCase& c = GetParam();
  RegionalSettings::SetCurrent(RegionalSettings::Preset(c.preset));
  std::u16string path;
  if (!c.lines.empty()) path = WriteFile(c.lines);
  if (c.cause == kErrFileNotFound) path = Utf8ToU16(folder.File("missing.txt"));

  Load({Type(u"edLBRateFile", path), Pick(u"cbLBRateType", u"LB"),
        Pick(u"cbCashBuyRateType", u"CB"), Click(u"btOk")});

  EXPECT_EQ(Stored(), c.stored);
  if (c.summary >= 0) {
    EXPECT_EQ(Summaries(), std::vector{Summary(c.summary)});
    EXPECT_EQ(statuses.size(), 6u * c.summary);
    EXPECT_TRUE(host->Errors().empty());
    return;
  }
  EXPECT_TRUE(Summaries().empty());
  ASSERT_EQ(host->Errors().size(), 1u);
  EXPECT_EQ(host->Errors()[0].number, kErrRateLoadFailed);
  EXPECT_EQ(host->Errors()[0].description.rfind(RuntimeErrorDescription(c.cause), 0), 0u);
}

// USD and EUR, then the date line; the cash buy column lies past their end,
// so its rates are zero and store nothing. A date line in another form than
// the short date is read as one more currency line.
std::vector<std::string> TwoRates(const std::string& end) {
  return {RateLine("USD", {"3.4528"}), RateLine("EUR", {"3.4528"}), "2006.03.31 kursai", end};
}

const std::u16string kBoth = u"USD/LB=3,4528 EUR/LB=34528";

INSTANTIATE_TEST_SUITE_P(Files, RateLoadTest,
                         // The valid file, blank and bad fields: tests/data/rate_files.
                         ::testing::Values(LoadCase{"DateInOtherForm", TwoRates("GALAS"), kBoth, 4,
                                                    0, u"lt-LT-2010"},
                                           LoadCase{"EmptyFileBox", {}, u"", 0},
                                           LoadCase{"MissingFile", {}, u"", -1, kErrFileNotFound}),
                         [](const auto& info) { return std::string(info.param.name); });

class RateFilePresetTest : public RateDialogTest,
                           public ::testing::WithParamInterface<const char16_t*> {};

TEST_P(RateFilePresetTest, ReadsPointDecimalsUnderEveryPreset) {
  const RegionalSettings settings = RegionalSettings::Preset(GetParam());
  RegionalSettings::SetCurrent(settings);
  const std::u16string date = settings.FormatShortDate(kDay);
  const std::u16string path = WriteFile(
      {RateLine("USD", {" 3.4528 "}), RateLine("EUR", {"0.123456789"}), U16ToUtf8(date), "GALAS"});

  Load({Type(u"edLBRateFile", path), Pick(u"cbLBRateType", u"LB"), Click(u"btOk")});

  const std::u16string sep(1, settings.decimal_separator);
  EXPECT_EQ(Stored(), u"USD/LB=3" + sep + u"4528 EUR/LB=1234" + sep + u"5679");
  ASSERT_EQ(statuses.size(), 12u);
  EXPECT_EQ(statuses[0], u"1. " + host->Text(1004) + u": USD " + host->Text(1005) + u": LB " +
                             host->Text(1006) + u": 3" + sep + u"4528");
  EXPECT_EQ(statuses[1], u"1. " + host->Text(1004) + u": USD " + host->Text(1005) + u":  " +
                             host->Text(1006) + u": 0" + sep + u"0000");
  EXPECT_EQ(statuses[6].substr(statuses[6].size() - 6), u"0" + sep + u"1235");
}

INSTANTIATE_TEST_SUITE_P(Presets, RateFilePresetTest,
                         ::testing::Values(u"lt-LT", u"lt-LT-2010", u"en-US", u"invariant"),
                         [](const auto& info) {
                           std::string name = U16ToUtf8(info.param);
                           std::erase(name, '-');
                           return name;
                         });

TEST_F(RateDialogTest, ShortLinesGiveEmptyFieldsThatDeleteRates) {
  for (const char16_t* currency_type : {u"USD/CB", u"EUR/LB"}) {
    const std::u16string code(currency_type);
    host->AddRecord(kRates, {{u"CurrencyCode", code.substr(0, 3)},
                             {u"RateTypeCode", code.substr(4)},
                             {u"DateRate", kDay},
                             {u"Rate", Currency::FromDouble(3.3)}});
  }
  const std::string usd = RateLine("USD", {"3.4528      ", "3.5"}).substr(0, 50);
  const std::u16string path = WriteFile({usd, "001EUR   short", "2006.03.31", "GALAS"});

  Load({Type(u"edLBRateFile", path), Pick(u"cbLBRateType", u"LB"),
        Pick(u"cbCashBuyRateType", u"CB"), Click(u"btOk")});

  EXPECT_EQ(Stored(), u"USD/LB=3,4528");
  EXPECT_EQ(Summaries(), std::vector{Summary(2)});
}

TEST_F(RateDialogTest, NoTypeChosenIsRefusedThenOnlyTheChosenColumnIsStored) {
  const std::u16string path = WriteFile(UsdFile({"1.1", "1.2", "1.3", "1.4", "1.5", "1.6"}));

  Load(
      {Type(u"edLBRateFile", path), Click(u"btOk"), Pick(u"cbSellRateType", u"S"), Click(u"btOk")});

  ASSERT_EQ(host->Messages().size(), 2u);
  EXPECT_EQ(host->Messages()[0].text, host->Text(1220));
  EXPECT_EQ(host->Messages()[0].kind, host::kMessageError);
  EXPECT_EQ(host->Messages()[1].text, Summary(1));
  EXPECT_EQ(Stored(), u"USD/S=1,5");
  EXPECT_EQ(statuses.size(), 6u);
}

TEST_F(RateDialogTest, LoadRateReusesTheThreadsFormAndUpdatesInPlace) {
  const std::u16string path = WriteFile(UsdFile({"3.4528"}));
  const forms::Form* shown[2] = {};
  host->Driver()
      .ExpectShow(u"LoadRateDlgVB",
                  {Call([&](forms::Form& f) { shown[0] = &f; }), Type(u"edLBRateFile", path),
                   Pick(u"cbLBRateType", u"LB"), Click(u"btOk")})
      .ExpectShow(u"LoadRateDlgVB", {Call([&](forms::Form& f) { shown[1] = &f; }),
                                     Type(u"edLBRateFile", path), Click(u"btOk")});
  CBankCl_VB component;
  static_cast<IClientBank&>(component).LoadRate();
  const Variant idc = host->Records(kRates).at(0).at(u"IDC");
  static_cast<IClientBank&>(component).LoadRate();

  EXPECT_EQ(shown[0], shown[1]);
  EXPECT_NE(shown[0], static_cast<const forms::Form*>(&dlg));
  EXPECT_EQ(host->DialogFormsCreated(), 2);
  // The second load, with no type picked, kept LB: it was not refused.
  EXPECT_EQ(Summaries(), (std::vector{Summary(1), Summary(1)}));
  ASSERT_EQ(host->Records(kRates).size(), 1u);
  EXPECT_EQ(host->Records(kRates)[0].at(u"IDC"), idc);
  EXPECT_TRUE(host->Driver().Problems().empty());
}

TEST_F(RateDialogTest, EmptyKeyUsesTheRateFolder) {
  WriteFile(UsdFile({"3.4528"}));
  host->SetPathKey(u"RazizeRuveRO", folder.u16path());
  std::u16string box;
  host->Driver().ExpectShow(u"LoadRateDlgVB",
                            {Call([&](forms::Form&) { box = dlg.edLBRateFile.Text(); }),
                             Pick(u"cbLBRateType", u"LB"), Click(u"btOk")});
  std::u16string key, name = u"rates.txt";
  EXPECT_TRUE(dlg.Run(key, name));
  EXPECT_EQ(key, u"RazizeRuveRO");
  EXPECT_EQ(box, folder.u16path() + u"\\rates.txt");
  EXPECT_EQ(Stored(), u"USD/LB=3,4528");

  host->FailNext(u"PathKey", u"FindByKey", ComError(3021, u"PathKey", u"No current record."));
  key.clear();
  EXPECT_FALSE(dlg.Run(key, name));
  EXPECT_EQ(host->Errors().size(), 1u);
}

TEST(RateDialogThreadTest, FailedRunIsReportedAndItsFormGoesAtThreadExit) {
  auto host = std::make_shared<testing::RecordingHost>();
  std::thread([&] {
    host::HostLibrary::Install(host);
    host->FailNext(u"PathKey", u"FindByKey", ComError(3021, u"PathKey", u"No current record."));
    CBankCl_VB component;
    component.LoadRate();
    host::HostLibrary::Install(nullptr);  // the failed Run still holds its dialog frame
  }).join();
  ASSERT_EQ(host->Errors().size(), 1u);
  EXPECT_EQ(host->Errors()[0].number, 3021);
  EXPECT_EQ(host->Errors()[0].source, u"PathKey");
  const auto& released = host->Releases();
  EXPECT_NE(std::find(released.begin(), released.end(), u"DialogForm 1"), released.end());
}

}  // namespace
}  // namespace norv
