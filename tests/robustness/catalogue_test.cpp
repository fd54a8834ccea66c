// Bad statement and rate files, byte for byte, as listed in tests/data/statements
// and tests/data/rate_files. Each case runs a whole import or load and checks its
// exact outcome; the file read is never changed and nothing appears beside it.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "core/records.h"
#include "host/message_window.h"
#include "rates/load_rate_command.h"
#include "rates/load_rate_dlg.h"
#include "robustness_fixture.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"
#include "runtime/text.h"
#include "support/data_files.h"

namespace norv::testing {
namespace {

int32_t Number(const std::string& text) {
  return static_cast<int32_t>(std::stoll(text.empty() ? "0" : text, nullptr, 0));
}

class CatalogueTest : public ::testing::Test {
 protected:
  ~CatalogueTest() override { RegionalSettings::SetCurrent(RegionalSettings::LtLT()); }
};

// name, preset, error, source, phase of the error, found, kinds, check of the first record.
TEST_F(CatalogueTest, StatementFiles) {
  for (const Row& c : Manifest("statements", 8)) {
    SCOPED_TRACE(c[0]);
    ScopedRecordingHost host;
    TempFolder folder;
    RegionalSettings::SetCurrent(RegionalSettings::Preset(Utf8ToU16(c[1])));
    const std::string bytes = DataBytes("statements", c[0] + ".txt");
    folder.WriteBytes("st.txt", bytes);
    std::optional<ComError> error;
    bool scanned = false, found = false;
    std::vector<StatementDoc> docs;
    StHead head;
    head.Account = u"LT001";
    {
      CBankCl_VB bank;
      bank.BeginImport(head);
      host->Driver().ExpectShow(
          u"LoadStatementDlg",
          {hostkit::Type(u"edImpFile", folder.u16path() + u"\\st.txt"), hostkit::Click(u"btOk")});
      try {
        found = bank.BeginImportByAccount(head);
        scanned = true;
        StatementDoc doc;
        while (found && bank.ImportDoc(doc)) docs.push_back(doc);
      } catch (const ComError& raised) {
        error = raised;
      }
      bank.EndImport();
    }
    if (Number(c[2]) != 0) {
      ASSERT_TRUE(error.has_value());
      EXPECT_EQ(error->number(), Number(c[2])) << error->what();
      EXPECT_EQ(error->source(), c[3].empty() ? kDefaultErrorSource : Utf8ToU16(c[3]));
      EXPECT_EQ(scanned, c[4] == "import");
    } else {
      EXPECT_FALSE(error.has_value()) << error->what();
    }
    std::string kinds;
    for (const StatementDoc& doc : docs)
      kinds += (kinds.empty() ? "" : ",") + std::to_string(doc.DocKind);
    EXPECT_EQ(kinds, c[6]);
    if (scanned || Number(c[2]) == 0) {
      EXPECT_EQ(found, c[5] == "1");
    }
    if (!found) {
      EXPECT_TRUE(head.DateFrom.IsEmpty() && head.DateTo.IsEmpty());
    }
    const std::string& check = c[7];
    if (check.rfind("amount=", 0) == 0) {
      ASSERT_FALSE(docs.empty());
      EXPECT_EQ(docs[0].Amount, Currency::FromRaw(std::stoll(check.substr(7))));
      EXPECT_EQ(docs[0].IsDebit, check.find(" debit") != std::string::npos);
    } else if (check.rfind("comment=", 0) == 0) {
      ASSERT_FALSE(docs.empty());
      EXPECT_EQ(docs[0].Comment, cp1257::Decode(Unescape(check.substr(8))));
    } else if (check.rfind("bank=", 0) == 0) {
      ASSERT_FALSE(docs.empty());
      EXPECT_EQ(docs[0].CorrBankName, Utf8ToU16(check.substr(5)));
    }
    EXPECT_EQ(folder.ReadBytes("st.txt"), bytes);
    EXPECT_EQ(Listing(folder.path()), std::vector<std::string>{"st.txt"});
    EXPECT_EQ(BookWrites(*host), 0u);
    EXPECT_TRUE(host->Errors().empty());
  }
}

// Loads `bytes` as a rate file through the rate dialog, the accounting and cash
// purchase columns given the types LB and CB; USD and EUR stored per unit.
void LoadRateFile(RecordingHost& host, const TempFolder& folder, const std::string& bytes) {
  for (const char16_t* type : {u"LB", u"CB"}) {
    host.AddRecord(u"REFRateType", {{u"Code", type}});
    for (const char16_t* currency : {u"USD", u"EUR"}) {
      host.AddRecord(u"REFCurrencyRateType", {{u"RateTypeCode", type},
                                              {u"CurrencyCode", currency},
                                              {u"Amount", 1},
                                              {u"IsReverse", 0}});
    }
  }
  host.AddRecord(u"REFCurrency", {{u"CurrencyCode", u"USD"}});
  host.AddRecord(u"REFCurrency", {{u"CurrencyCode", u"EUR"}});
  folder.WriteBytes("rates.txt", bytes);
  {
    LoadRateDlgVB dlg;
    host.Driver().ExpectShow(u"LoadRateDlgVB",
                             {hostkit::Type(u"edLBRateFile", Utf8ToU16(folder.File("rates.txt"))),
                              hostkit::Pick(u"cbLBRateType", u"LB"),
                              hostkit::Pick(u"cbCashBuyRateType", u"CB"), hostkit::Click(u"btOk")});
    std::u16string key, name;
    dlg.Run(key, name);
  }
  ReleaseLoadRateDlg();
}

// name, preset, count in the summary (-1: fails), runtime error behind a failure, rates stored.
TEST_F(CatalogueTest, RateFiles) {
  for (const Row& c : Manifest("rate_files", 5)) {
    SCOPED_TRACE(c[0]);
    ScopedRecordingHost host;
    TempFolder folder;
    RegionalSettings::SetCurrent(RegionalSettings::Preset(Utf8ToU16(c[1])));
    const std::string bytes = DataBytes("rate_files", c[0] + ".txt");
    LoadRateFile(*host, folder, bytes);
    std::vector<std::u16string> summaries;
    for (const MessageCall& m : host->Messages()) {
      if (m.kind == host::kMessageInformation) summaries.push_back(m.text);
    }
    if (Number(c[2]) >= 0) {
      EXPECT_EQ(summaries, std::vector{host->Text(998) + u" " + Utf8ToU16(c[2])});
      EXPECT_TRUE(host->Errors().empty());
    } else {
      EXPECT_TRUE(summaries.empty());
      ASSERT_EQ(host->Errors().size(), 1u);
      EXPECT_EQ(host->Errors()[0].number, kErrRateLoadFailed);
      EXPECT_EQ(host->Errors()[0].description.rfind(RuntimeErrorDescription(Number(c[3])), 0), 0u)
          << U16ToUtf8(host->Errors()[0].description);
    }
    std::vector<std::u16string> stored;
    for (const Record& r : host->Records(u"REFCurrencyRate")) {
      stored.push_back(VariantToText(r.at(u"CurrencyCode")) + u"/" +
                       VariantToText(r.at(u"RateTypeCode")) + u"=" + VariantToText(r.at(u"Rate")));
    }
    std::sort(stored.begin(), stored.end());
    std::u16string joined;
    for (const auto& s : stored) joined += (joined.empty() ? u"" : u";") + s;
    EXPECT_EQ(U16ToUtf8(joined), c[4]);
    EXPECT_EQ(folder.ReadBytes("rates.txt"), bytes);
    EXPECT_EQ(Listing(folder.path()), std::vector<std::string>{"rates.txt"});
  }
}

// The count of currency lines is a 16-bit number: line 32768 overflows it.
TEST_F(CatalogueTest, RateFileOfMoreLinesThanTheCounterHolds) {
  ScopedRecordingHost host;
  TempFolder folder;
  std::string bytes;
  for (int i = 0; i < 32768; ++i) bytes += "001XXX\r\n";
  LoadRateFile(*host, folder, bytes + "2006.03.31\r\nGALAS\r\n");
  ASSERT_EQ(host->Errors().size(), 1u);
  EXPECT_EQ(host->Errors()[0].number, kErrRateLoadFailed);
  EXPECT_EQ(host->Errors()[0].description.rfind(RuntimeErrorDescription(kErrOverflow), 0), 0u);
  EXPECT_TRUE(host->Records(u"REFCurrencyRate").empty());
}

}  // namespace
}  // namespace norv::testing
