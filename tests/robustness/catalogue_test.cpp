// Bad statement and rate files, byte for byte, as listed in tests/data/statements
// and tests/data/rate_files. Each case runs a whole import or load and checks its
// exact outcome; the file read is never changed and nothing appears beside it.
#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "core/records.h"
#include "host/message_window.h"
#include "hostkit/database.h"
#include "rates/load_rate_command.h"
#include "rates/load_rate_dlg.h"
#include "runtime/codepage.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"
#include "runtime/text.h"
#include "support/data_files.h"
#include "support/recording_host.h"

namespace norv::testing {
namespace {

int32_t Number(const std::string& text) {
  return static_cast<int32_t>(std::stoll(text.empty() ? "0" : text, nullptr, 0));
}

// How many entries a folder holds.
long Entries(const TempFolder& folder) {
  return std::distance(std::filesystem::directory_iterator(folder.path()), {});
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
    EXPECT_EQ(Entries(folder), 1);
    for (const BookCall& call : host->BookCalls()) {
      EXPECT_TRUE(call.op != u"StoreNew" && call.op != u"UpdateById" && call.op != u"DeleteById");
    }
    EXPECT_TRUE(host->Errors().empty());
  }
}

// Loads `bytes` as a rate file through the rate dialog, the accounting and cash
// purchase columns given the types LB and CB; each currency stored per unit.
void LoadRateFile(RecordingHost& host, const TempFolder& folder, const std::string& bytes) {
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

// The answer of one SQL statement of the host's database.
std::string Sql(RecordingHost& host, const std::string& sql) {
  hostkit::Statement statement = host.database()->Prepare(sql);
  return statement.Step() ? statement.Utf8(0) : "";
}

// name, preset, count in the summary (-1: fails), the runtime error behind a failure (or a
// part of its description), rates stored (or N..M: how many), a fault inside the database
// ("write K": the K-th write to the rate book aborts; "grow": one page more), a rate file
// loaded first, the currencies of the books ("file": each of the file).
TEST_F(CatalogueTest, RateFiles) {
  std::vector<Row> cases = Manifest("rate_files", 9), faults = Manifest("rate_faults", 9);
  for (Row& c : faults) c[8] = "rate_faults";
  cases.insert(cases.end(), faults.begin(), faults.end());
  for (Row& c : cases) {
    const std::string kind = c[8].empty() ? "rate_files" : c[8];
    SCOPED_TRACE(c[0] + " " + c[5]);
    ScopedRecordingHost host;
    TempFolder folder;
    RegionalSettings::SetCurrent(RegionalSettings::Preset(Utf8ToU16(c[1])));
    std::string bytes = DataBytes(kind, c[0] + ".txt");
    if (bytes.rfind("{32768 lines:", 0) == 0) {
      std::string lines;
      for (int i = 0; i < 32768; ++i) lines += bytes.substr(13, bytes.find('}') - 13) + "\r\n";
      bytes = lines + bytes.substr(bytes.find('}') + 3);
    }
    std::string currencies = c[7].empty() ? "USD EUR" : c[7];
    if (c[7] == "file") {  // each code of a currency line
      currencies.clear();
      std::istringstream lines(bytes);
      for (std::string line; std::getline(lines, line);) {
        if (line.rfind("001", 0) == 0) currencies += line.substr(3, 3) + " ";
      }
    }
    for (const char16_t* type : {u"LB", u"CB"}) host->AddRecord(u"REFRateType", {{u"Code", type}});
    for (size_t at = 0; at + 3 <= currencies.size(); at += 4) {
      const std::u16string code = Utf8ToU16(currencies.substr(at, 3));
      host->AddRecord(u"REFCurrency", {{u"CurrencyCode", code}});
      for (const char16_t* type : {u"LB", u"CB"}) {
        host->AddRecord(
            u"REFCurrencyRateType",
            {{u"RateTypeCode", type}, {u"CurrencyCode", code}, {u"Amount", 1}, {u"IsReverse", 0}});
      }
    }
    if (!c[6].empty()) LoadRateFile(*host, folder, DataBytes(kind, c[6] + ".txt"));
    const size_t messages = host->Messages().size();
    if (c[5].rfind("write ", 0) == 0) {
      host->database()->Execute(
          "CREATE TEMP TABLE countdown (n INTEGER); INSERT INTO countdown VALUES (" +
          c[5].substr(6) + ");");
      for (const std::string op : {"INSERT", "UPDATE", "DELETE"}) {
        host->database()->Execute(
            "CREATE TEMP TRIGGER w_" + op + " BEFORE " + op +
            " ON main.book_REFCurrencyRate BEGIN UPDATE countdown SET n = n - 1; "
            "SELECT RAISE(ABORT, 'injected failure') WHERE (SELECT n FROM countdown) = 0; END;");
      }
    } else if (c[5] == "grow") {
      const int64_t pages = std::stoll(Sql(*host, "PRAGMA page_count"));
      host->database()->Execute("PRAGMA max_page_count = " + std::to_string(pages + 1));
    }
    LoadRateFile(*host, folder, bytes);
    std::vector<std::u16string> summaries;
    for (size_t i = messages; i < host->Messages().size(); ++i) {
      if (host->Messages()[i].kind == host::kMessageInformation)
        summaries.push_back(host->Messages()[i].text);
    }
    if (Number(c[2]) >= 0) {
      EXPECT_EQ(summaries, std::vector{host->Text(998) + u" " + Utf8ToU16(c[2])});
      EXPECT_TRUE(host->Errors().empty());
    } else {
      EXPECT_TRUE(summaries.empty());
      ASSERT_EQ(host->Errors().size(), 1u);
      EXPECT_EQ(host->Errors()[0].number, kErrRateLoadFailed);
      const std::u16string& description = host->Errors()[0].description;
      if (isdigit(c[3][0])) {
        EXPECT_EQ(description.rfind(RuntimeErrorDescription(Number(c[3])), 0), 0u)
            << U16ToUtf8(description);
      } else {
        EXPECT_NE(description.find(Utf8ToU16(c[3])), std::u16string::npos)
            << U16ToUtf8(description);
      }
    }
    std::vector<std::string> stored;
    for (const Record& r : host->Records(u"REFCurrencyRate")) {
      stored.push_back(U16ToUtf8(VariantToText(r.at(u"CurrencyCode")) + u"/" +
                                 VariantToText(r.at(u"RateTypeCode")) + u"=" +
                                 VariantToText(r.at(u"Rate"))));
    }
    std::sort(stored.begin(), stored.end());
    std::string joined;
    for (const std::string& s : stored) joined += (joined.empty() ? "" : ";") + s;
    if (c[4].find("..") != std::string::npos) {
      EXPECT_GE(stored.size(), std::stoul(c[4]));
      EXPECT_LE(stored.size(), std::stoul(c[4].substr(c[4].find("..") + 2)));
    } else {
      EXPECT_EQ(joined, c[4]);
    }
    EXPECT_EQ(Sql(*host, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(folder.ReadBytes("rates.txt"), bytes);
    EXPECT_EQ(Entries(folder), 1);
  }
}

}  // namespace
}  // namespace norv::testing
