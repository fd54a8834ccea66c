// A rate load into the default host's SQLite books that fails half way. Three
// currencies with two rate types each give six book writes per load: the first
// load inserts, a second one updates and deletes. When the k-th write fails
// inside SQLite (a trigger aborts that statement) the dialog reports the error,
// the books hold exactly the first k-1 writes of a clean load (each write is
// committed on its own) and PRAGMA integrity_check answers ok. A database that
// cannot grow (max_page_count) stops a long load with "disk full" after the
// rates that fitted.
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/error_numbers.h"
#include "hostkit/book_specs.h"
#include "hostkit/database.h"
#include "hostkit/default_host.h"
#include "hostkit/sqlite_books.h"
#include "rates/load_rate_command.h"
#include "rates/load_rate_dlg.h"
#include "robustness_fixture.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"
#include "runtime/text.h"
#include "support/bank_files.h"

namespace norv::testing {
namespace {

using hostkit::BookRecord;
using hostkit::BookStore;
using hostkit::Database;
using hostkit::DefaultHost;
using hostkit::FindBook;

const Date kDay = Date::FromCivil(2006, 3, 31);

// The first load inserts six rates; the second changes two, keeps two (an
// update in place) and zeroes two (deletions).
const std::string kFirstFile =
    BankFile({RateLine("USD", {"3.4528", "3.4"}), RateLine("EUR", {"4", "4.1"}),
              RateLine("GBP", {"5.5", "5.6"}), "2006.03.31", "GALAS"});
const std::string kSecondFile =
    BankFile({RateLine("USD", {"3.5", "0"}), RateLine("EUR", {"4", "4.1"}),
              RateLine("GBP", {"0", "5.7"}), "2006.03.31", "GALAS"});

// Book contents as (currency, type) -> rate text.
using Rates = std::map<std::pair<std::u16string, std::u16string>, std::u16string>;

struct Write {
  std::string op;  // "INSERT", "UPDATE", "DELETE"
  std::u16string currency, type, rate;
};

Rates Apply(Rates rates, const std::vector<Write>& writes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const Write& w = writes.at(i);
    if (w.op == "DELETE") {
      rates.erase({w.currency, w.type});
    } else {
      rates[{w.currency, w.type}] = w.rate;
    }
  }
  return rates;
}

class RateBooksFaultTest : public ::testing::Test {
 protected:
  std::string DbPath() const { return folder.File("books.db"); }

  std::shared_ptr<DefaultHost> OpenHost() {
    DefaultHost::Options options;
    options.database_path = DbPath();
    options.out = &out;
    options.err = &err;
    auto host = std::make_shared<DefaultHost>(options);
    host->SetPendingErrorHandler([this](const ComError& e) { reported.push_back(e); });
    host::HostLibrary::Install(host);
    return host;
  }
  void TearDown() override {
    ReleaseLoadRateDlg();
    host::HostLibrary::Install(nullptr);
  }

  void CreateBooks() {
    auto host = OpenHost();
    BookStore store(host->database());
    for (const char16_t* currency : {u"USD", u"EUR", u"GBP"}) {
      store.Put(*FindBook(u"REFCurrency"), {{u"CurrencyCode", currency}});
    }
    for (const char16_t* type : {u"LB", u"CB"}) {
      store.Put(*FindBook(u"REFRateType"), {{u"Code", type}, {u"Name", type}});
      for (const char16_t* currency : {u"USD", u"EUR", u"GBP"}) AddRateType(store, type, currency);
    }
    host::HostLibrary::Install(nullptr);
  }
  static void AddRateType(BookStore& store, const std::u16string& type,
                          const std::u16string& currency) {
    store.Put(*FindBook(u"REFCurrencyRateType"), {{u"RateTypeCode", type},
                                                  {u"CurrencyCode", currency},
                                                  {u"Amount", Currency::FromInteger(1)},
                                                  {u"IsReverse", int32_t{0}}});
  }

  // Loads `file` through the rate dialog under `host`, LB (and CB when `cash`) chosen.
  void Load(DefaultHost& host, const std::string& file, bool cash = true) {
    folder.WriteBytes("rates.txt", file);
    std::vector<hostkit::UserAction> steps = {
        hostkit::Type(u"edLBRateFile", Utf8ToU16(folder.File("rates.txt"))),
        hostkit::Pick(u"cbLBRateType", u"LB")};
    if (cash) steps.push_back(hostkit::Pick(u"cbCashBuyRateType", u"CB"));
    steps.push_back(hostkit::Click(u"btOk"));
    host.Driver().ExpectShow(u"LoadRateDlgVB", steps);
    LoadRateDlgVB dlg;
    std::u16string key, name;
    dlg.Run(key, name);
  }

  // Every rate of kDay in the books, read through a connection of its own.
  Rates Stored() {
    auto db = Database::Open(DbPath());
    Rates rates;
    for (const BookRecord& r : BookStore(db).List(*FindBook(u"REFCurrencyRate"))) {
      EXPECT_EQ(r.at(u"DateRate"), Variant(kDay));
      rates[{VariantToText(r.at(u"CurrencyCode")), VariantToText(r.at(u"RateTypeCode"))}] =
          VariantToText(r.at(u"Rate"));
    }
    return rates;
  }

  std::string IntegrityCheck() {
    auto db = Database::Open(DbPath());
    hostkit::Statement check = db->Prepare("PRAGMA integrity_check");
    std::string result;
    while (check.Step()) result += check.Utf8(0);
    return result;
  }

  // Logs each write to the rate book in write_log and makes the `nth` one from
  // now on fail inside SQLite (0: none).
  static void Instrument(Database& db, int nth) {
    db.Execute(
        "CREATE TEMP TABLE write_log (op TEXT, currency TEXT, type TEXT, rate INTEGER);"
        "CREATE TEMP TABLE countdown (n INTEGER); INSERT INTO countdown VALUES (" +
        std::to_string(nth) + ");");
    for (const std::string op : {"INSERT", "UPDATE", "DELETE"}) {
      const std::string row = op == "DELETE" ? "OLD.CurrencyCode, OLD.RateTypeCode, NULL"
                                             : "NEW.CurrencyCode, NEW.RateTypeCode, NEW.Rate";
      db.Execute("CREATE TEMP TRIGGER w_" + op + " BEFORE " + op +
                 " ON main.book_REFCurrencyRate BEGIN UPDATE countdown SET n = n - 1; "
                 "SELECT RAISE(ABORT, 'injected failure') WHERE (SELECT n FROM countdown) = 0; "
                 "INSERT INTO write_log VALUES ('" +
                 op + "', " + row + "); END;");
    }
  }

  // The writes of a clean load of `file`.
  std::vector<Write> CleanWrites(const std::string& file) {
    auto host = OpenHost();
    Instrument(*host->database(), 0);
    Load(*host, file);
    std::vector<Write> writes;
    hostkit::Statement log =
        host->database()->Prepare("SELECT op, currency, type, rate FROM write_log ORDER BY rowid");
    while (log.Step()) {
      writes.push_back({log.Utf8(0), log.Text(1), log.Text(2),
                        log.IsNull(3) ? u"" : VariantToText(Currency::FromRaw(log.Int64(3)))});
    }
    host::HostLibrary::Install(nullptr);
    return writes;
  }

  TempFolder folder;
  std::ostringstream out, err;
  std::vector<ComError> reported;
};

TEST_F(RateBooksFaultTest, EachFailingWriteKeepsTheEarlierRates) {
  CreateBooks();
  const std::vector<Write> first = CleanWrites(kFirstFile);
  ASSERT_EQ(first.size(), 6u);
  const Rates after_first = Apply({}, first, first.size());
  const std::vector<Write> second = CleanWrites(kSecondFile);
  ASSERT_EQ(second.size(), 6u);
  EXPECT_EQ(second[1].op, "DELETE");

  for (const auto& [file, writes, before] :
       {std::tuple{kFirstFile, first, Rates{}}, std::tuple{kSecondFile, second, after_first}}) {
    for (size_t k = 1; k <= writes.size(); ++k) {
      SCOPED_TRACE((file == kFirstFile ? "first load, write " : "second load, write ") +
                   std::to_string(k) + " (" + writes[k - 1].op + ") fails");
      std::filesystem::remove(DbPath());
      CreateBooks();
      if (file == kSecondFile) {
        auto host = OpenHost();
        Load(*host, kFirstFile);
        host::HostLibrary::Install(nullptr);
      }
      ASSERT_EQ(Stored(), before);
      reported.clear();
      {
        auto host = OpenHost();
        Instrument(*host->database(), static_cast<int>(k));
        Load(*host, file);
        host::HostLibrary::Install(nullptr);
      }
      ASSERT_EQ(reported.size(), 1u);
      EXPECT_EQ(reported[0].number(), kErrRateLoadFailed);
      EXPECT_NE(reported[0].description().find(u"injected failure"), std::u16string::npos)
          << U16ToUtf8(reported[0].description());
      EXPECT_EQ(Stored(), Apply(before, writes, k - 1));
      EXPECT_EQ(IntegrityCheck(), "ok");
    }
  }
}

TEST_F(RateBooksFaultTest, ADatabaseThatCannotGrowStopsTheLoadAsDiskFull) {
  // 400 currencies, one rate each: more rows than the pages allowed can hold.
  std::string many;
  {
    auto host = OpenHost();
    BookStore store(host->database());
    store.Put(*FindBook(u"REFRateType"), {{u"Code", u"LB"}});
    std::vector<std::string> lines;
    for (int i = 0; i < 400; ++i) {
      const std::u16string short_code = {u'X', static_cast<char16_t>(u'A' + i / 26),
                                         static_cast<char16_t>(u'A' + i % 26)};
      store.Put(*FindBook(u"REFCurrency"), {{u"CurrencyCode", short_code}});
      AddRateType(store, u"LB", short_code);
      lines.push_back(RateLine(U16ToUtf8(short_code), {"1." + std::to_string(1000 + i), "0"}));
    }
    lines.push_back("2006.03.31");
    lines.push_back("GALAS");
    many = BankFile(lines);
    host->database()->Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    host::HostLibrary::Install(nullptr);
  }
  reported.clear();
  {
    auto host = OpenHost();
    hostkit::Statement pages = host->database()->Prepare("PRAGMA page_count");
    ASSERT_TRUE(pages.Step());
    const int64_t page_count = pages.Int64(0);
    host->database()->Execute("PRAGMA max_page_count = " + std::to_string(page_count + 1));
    Load(*host, many, false);
    host::HostLibrary::Install(nullptr);
  }
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].number(), kErrRateLoadFailed);
  EXPECT_NE(reported[0].description().find(u"cannot grow"), std::u16string::npos)
      << U16ToUtf8(reported[0].description());
  const size_t stored = Stored().size();
  EXPECT_GT(stored, 0u);
  EXPECT_LT(stored, 400u);
  EXPECT_EQ(IntegrityCheck(), "ok");
}

}  // namespace
}  // namespace norv::testing
