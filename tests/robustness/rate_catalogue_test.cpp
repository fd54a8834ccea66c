// Bad rate files, byte for byte. Each case runs a whole load through the rate
// dialog (the accounting and cash purchase columns given the types LB and CB;
// USD and EUR stored directly per unit) and states its exact outcome: the
// summary with the count of currency lines, or the one error the dialog reports
// (0x80040064, its description starting with the description of the runtime
// error behind it), and exactly which rates the books hold afterwards: a load
// that stops keeps what it wrote before the failing field and nothing after.
// The rate file is never changed and nothing appears beside it.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/error_numbers.h"
#include "host/message_window.h"
#include "rates/load_rate_command.h"
#include "rates/load_rate_dlg.h"
#include "robustness_fixture.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv::testing {
namespace {

// Code at 4-6, then each rate right-aligned in its 17 characters from 39 on.
std::string RateLine(const std::string& code, const std::vector<std::string>& rates) {
  std::string line = "001" + code + std::string(32, ' ');
  for (const std::string& rate : rates) {
    if (line.size() > 38) line += ' ';
    line += std::string(17 - std::min<size_t>(17, rate.size()), ' ') + rate;
  }
  return line;
}

const std::string kUsd = RateLine("USD", {"3.4528", "3.4"});
const std::string kEur = RateLine("EUR", {"4", "4.1"});
const std::string kDate = "2006.03.31 kursai";
const std::string kEnd = "GALAS";
const std::vector<std::u16string> kAllFour = {u"EUR/CB=4,1", u"EUR/LB=4", u"USD/CB=3,4",
                                              u"USD/LB=3,4528"};
const std::vector<std::u16string> kEurOnly = {u"EUR/CB=4,1", u"EUR/LB=4"};

struct RateCase {
  const char* name;
  std::function<std::string()> bytes;
  int count = -1;                      // the count in the summary; -1: the load fails
  int32_t cause = 0;                   // the runtime error behind a failed load
  std::vector<std::u16string> stored;  // "CUR/TYPE=rate", sorted
  const char16_t* preset = u"lt-LT";
};

void PrintTo(const RateCase& c, std::ostream* os) { *os << c.name; }

RateCase Loads(const char* name, std::function<std::string()> bytes, int count,
               std::vector<std::u16string> stored) {
  return RateCase{name, std::move(bytes), count, 0, std::move(stored)};
}

RateCase Fails(const char* name, std::function<std::string()> bytes, int32_t cause,
               std::vector<std::u16string> stored = {}) {
  return RateCase{name, std::move(bytes), -1, cause, std::move(stored)};
}

RateCase EnUs(RateCase c) {
  c.preset = u"en-US";
  return c;
}

// The file with the USD line's accounting rate replaced by `rate`.
std::string UsdRate(const std::string& rate) {
  return Joined({RateLine("USD", {rate, "3.4"}), kEur, kDate, kEnd});
}
// The same with the EUR line's cash purchase rate replaced: the USD rates and
// the EUR accounting rate come before it.
std::string EurSecondRate(const std::string& rate) {
  return Joined({kUsd, RateLine("EUR", {"4", rate}), kDate, kEnd});
}
const std::vector<std::u16string> kBeforeEurCb = {u"EUR/LB=4", u"USD/CB=3,4", u"USD/LB=3,4528"};

const std::string kTenMegabytes(10 * 1024 * 1024, ' ');

std::vector<RateCase> Cases() {
  return {
      Loads(
          "Valid",
          [] {
            return Joined({kUsd, kEur, kDate, kEnd});
          },
          2, kAllFour),
      Loads("EmptyFile", [] { return std::string(); }, 0, {}),
      Fails(
          "OnlyTheEndLine", [] { return Joined({kEnd}); }, kErrTypeMismatch),
      // Byte-order marks are three characters of the first line.
      Loads(
          "Utf8MarkBeforeTheFirstCurrency",
          [] {
            return "\xEF\xBB\xBF" + Joined({kUsd, kEur, kDate, kEnd});
          },
          2, kEurOnly),
      Fails(
          "Utf8MarkBeforeTheDateLine",
          [] {
            return "\xEF\xBB\xBF" + Joined({kDate, kEnd});
          },
          kErrTypeMismatch),
      // Line ends.
      Loads(
          "LfOnly",
          [] {
            return Joined({kUsd, kEur, kDate, kEnd}, "\n");
          },
          2, kAllFour),
      Loads(
          "CrOnly",
          [] {
            return Joined({kUsd, kEur, kDate, kEnd}, "\r");
          },
          2, kAllFour),
      Loads(
          "MixedEnds", [] { return kUsd + "\n" + kEur + "\r" + kDate + "\r\n" + kEnd; }, 2,
          kAllFour),
      // A blank line is a currency line without a code, or the remembered date.
      Loads(
          "BlankLineAmongCurrencies",
          [] {
            return Joined({kUsd, "", kEur, kDate, kEnd});
          },
          3, kAllFour),
      Fails(
          "BlankLineBeforeTheEndLine",
          [] {
            return Joined({kUsd, kEur, kDate, "", kEnd});
          },
          kErrTypeMismatch),
      Loads(
          "BlankLinesAfterTheEndLine",
          [] {
            return Joined({kUsd, kEur, kDate, kEnd, "", ""});
          },
          2, kAllFour),
      // A DOS editor's end-of-file mark (Ctrl-Z) after the end line is never read.
      Loads(
          "CtrlZAfterTheEndLine",
          [] {
            return Joined({kUsd, kEur, kDate, kEnd}) + "\x1A";
          },
          2, kAllFour),
      // NUL bytes and bytes Windows-1257 leaves undefined.
      Fails(
          "NulInARate", [] { return EurSecondRate(std::string("4.1\0", 4)); }, kErrTypeMismatch,
          kBeforeEurCb),
      Loads(
          "NulInACode",
          [] {
            return Joined({RateLine(std::string("US\0", 3), {"3.4528", "3.4"}), kEur, kDate, kEnd});
          },
          2, kEurOnly),
      Loads(
          "UndefinedBytesInACode",
          [] {
            return Joined({RateLine("\x81\x83\x88", {"3.4528", "3.4"}), kEur, kDate, kEnd});
          },
          2, kEurOnly),
      Fails(
          "UndefinedByteInARate", [] { return EurSecondRate("4.1\x81"); }, kErrTypeMismatch,
          kBeforeEurCb),
      // 10 MB lines: only their columns are read.
      Loads(
          "TenMegabyteCurrencyLine",
          [] {
            const std::string six = RateLine("USD", {"3.4528", "3.4", "0", "0", "0", "0"});
            return Joined({six + std::string(10 * 1024 * 1024, 'x'), kEur, kDate, kEnd});
          },
          2, kAllFour),
      // The third column of that line is blanks only: no number.
      Fails("TenMegabytesOfBlanksAfterTwoRates",
            [] {
              return Joined({kUsd + kTenMegabytes, kEur, kDate, kEnd});
            },
            kErrTypeMismatch, {u"USD/CB=3,4", u"USD/LB=3,4528"}),
      Loads(
          "TenMegabyteDateLine",
          [] {
            return Joined({kUsd, kEur, kDate + kTenMegabytes, kEnd});
          },
          2, kAllFour),
      Loads("TenMegabytesAndNoEndLine", [] { return Joined({kTenMegabytes}); }, 0, {}),
      // Decimal marks, grouping and signs: "." becomes the decimal separator first.
      Fails(
          "GroupedRateUnderLtLt", [] { return UsdRate("1,234.5"); }, kErrTypeMismatch),
      Loads(
          "DecimalCommaUnderLtLt", [] { return UsdRate("3,4528"); }, 2, kAllFour),
      EnUs(Loads("GroupedRateUnderEnUs", [] { return UsdRate("1,234.5"); }, 4,
                 {u"EUR/CB=4.1", u"EUR/LB=4", u"USD/CB=3.4", u"USD/LB=1234.5"})),
      EnUs(Loads("DecimalCommaUnderEnUs", [] { return UsdRate("3,4528"); }, 4,
                 {u"EUR/CB=4.1", u"EUR/LB=4", u"USD/CB=3.4", u"USD/LB=34528"})),
      Loads("NegativeRate", [] { return UsdRate("-3.4528"); }, 2,
            {u"EUR/CB=4,1", u"EUR/LB=4", u"USD/CB=3,4", u"USD/LB=-3,4528"}),
      Fails(
          "TrailingMinus", [] { return UsdRate("3.4528-"); }, kErrTypeMismatch),
      Fails(
          "QuotedRate", [] { return UsdRate("\"3.4528\""); }, kErrTypeMismatch),
      Loads("Exponent", [] { return UsdRate("3.4528E2"); }, 2,
            {u"EUR/CB=4,1", u"EUR/LB=4", u"USD/CB=3,4", u"USD/LB=345,28"}),
      // Dates.
      Fails(
          "February30",
          [] {
            return Joined({kUsd, kEur, "2006.02.30", kEnd});
          },
          kErrTypeMismatch),
      Fails(
          "Month13",
          [] {
            return Joined({kUsd, kEur, "2006.13.01", kEnd});
          },
          kErrTypeMismatch),
      Fails(
          "DayFirstDate",
          [] {
            return Joined({kUsd, kEur, "31.03.2006", kEnd});
          },
          kErrTypeMismatch),
      // Truncated files.
      Loads("NoEndLine",
            [] {
              return Joined({kUsd, kEur, kDate});
            },
            0, {}),
      Loads("CutInsideTheAccountingRate",
            [] {
              return Joined({kUsd.substr(0, 50), kEur, kDate, kEnd});
            },
            2, {u"EUR/CB=4,1", u"EUR/LB=4", u"USD/LB=3"}),
      Loads("EndLineWithATrailingBlank",
            [] {
              return Joined({kUsd, kEur, kDate, "GALAS "});
            },
            0, {}),
      Loads("EndLineInLowerCase",
            [] {
              return Joined({kUsd, kEur, kDate, "galas"});
            },
            0, {}),
      // Over the maximum: a number running past its 17 columns, a rate beyond
      // the amount's range, more currency lines than the 16-bit counter holds.
      Fails(
          "RateRunningIntoTheNextColumn",
          [] {
            return Joined({std::string(38, ' ') + "123456789012345678", kDate, kEnd});
          },
          kErrOverflow),
      Fails(
          "RateBeyondTheAmountRange", [] { return EurSecondRate("922337203685478"); }, kErrOverflow,
          kBeforeEurCb),
      Fails(
          "MoreLinesThanTheCounterHolds",
          [] {
            std::vector<std::string> lines(32768, "001XXX");
            lines.push_back(kDate);
            lines.push_back(kEnd);
            return Joined(lines);
          },
          kErrOverflow),
  };
}

class RateCatalogueTest : public ::testing::TestWithParam<RateCase> {
 protected:
  void SetUp() override {
    for (const char16_t* type : {u"LB", u"CB"}) {
      host->AddRecord(u"REFRateType", {{u"Code", type}});
      for (const char16_t* currency : {u"USD", u"EUR"}) {
        host->AddRecord(u"REFCurrencyRateType", {{u"RateTypeCode", type},
                                                 {u"CurrencyCode", currency},
                                                 {u"Amount", 1},
                                                 {u"IsReverse", 0}});
      }
    }
    host->AddRecord(u"REFCurrency", {{u"CurrencyCode", u"USD"}});
    host->AddRecord(u"REFCurrency", {{u"CurrencyCode", u"EUR"}});
  }
  void TearDown() override {
    RegionalSettings::SetCurrent(RegionalSettings::LtLT());
    ReleaseLoadRateDlg();
  }

  std::vector<std::u16string> Stored() {
    std::vector<std::u16string> out;
    for (const Record& r : host->Records(u"REFCurrencyRate")) {
      out.push_back(VariantToText(r.at(u"CurrencyCode")) + u"/" +
                    VariantToText(r.at(u"RateTypeCode")) + u"=" + VariantToText(r.at(u"Rate")));
    }
    std::sort(out.begin(), out.end());
    return out;
  }

  ScopedRecordingHost host;
  TempFolder folder;
};

TEST_P(RateCatalogueTest, EndsAsStated) {
  const RateCase& c = GetParam();
  RegionalSettings::SetCurrent(RegionalSettings::Preset(c.preset));
  const std::string bytes = c.bytes();
  folder.WriteBytes("rates.txt", bytes);
  {
    LoadRateDlgVB dlg;
    host->Driver().ExpectShow(
        u"LoadRateDlgVB", {hostkit::Type(u"edLBRateFile", Utf8ToU16(folder.File("rates.txt"))),
                           hostkit::Pick(u"cbLBRateType", u"LB"),
                           hostkit::Pick(u"cbCashBuyRateType", u"CB"), hostkit::Click(u"btOk")});
    std::u16string key, name;
    dlg.Run(key, name);
  }

  std::vector<std::u16string> summaries;
  for (const MessageCall& m : host->Messages()) {
    if (m.kind == host::kMessageInformation) summaries.push_back(m.text);
  }
  if (c.count >= 0) {
    EXPECT_EQ(summaries, std::vector{host->Text(998) + u" " + IntToText(c.count)});
    EXPECT_TRUE(host->Errors().empty()) << U16ToUtf8(host->Errors()[0].description);
  } else {
    EXPECT_TRUE(summaries.empty());
    ASSERT_EQ(host->Errors().size(), 1u);
    EXPECT_EQ(host->Errors()[0].number, kErrRateLoadFailed);
    EXPECT_EQ(host->Errors()[0].description.rfind(RuntimeErrorDescription(c.cause), 0), 0u)
        << U16ToUtf8(host->Errors()[0].description);
  }
  EXPECT_EQ(Stored(), c.stored);
  EXPECT_EQ(folder.ReadBytes("rates.txt"), bytes);
  EXPECT_EQ(Listing(folder.path()), std::vector<std::string>{"rates.txt"});
}

INSTANTIATE_TEST_SUITE_P(RateFiles, RateCatalogueTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace norv::testing
