// The reference books over SQLite: keys, IDC, each change committed as it is
// made, and a read-only database reported as a clear error (busy: database_test).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "as_unprivileged_user.h"
#include "hostkit/book_specs.h"
#include "hostkit/database.h"
#include "hostkit/sqlite_books.h"
#include "runtime/error_matchers.h"
#include "runtime/text.h"
#include "support/recording_host.h"

namespace norv::hostkit {
namespace {

using norv::testing::AsUnprivilegedUser;
using norv::testing::TempFolder;

const Date kDay = Date::FromCivil(2024, 1, 31);

class SqliteBooksTest : public ::testing::Test {
 protected:
  std::shared_ptr<host::Book> Open(const std::u16string& name) {
    return factory->OpenBook(name, nullptr);
  }
  // The book as another program sees the file: through a connection of its own.
  std::vector<BookRecord> SeenFromOutside(const std::u16string& name) {
    return BookStore(Database::Open(path)).List(*FindBook(name));
  }
  void StoreRate(host::Book& rates, const std::u16string& currency, int64_t raw) {
    rates.BeginNew();
    rates.Fields().Item(u"CurrencyCode").SetValue(currency);
    rates.Fields().Item(u"RateTypeCode").SetValue(std::u16string(u"LB"));
    rates.Fields().Item(u"DateRate").SetValue(kDay);
    rates.Fields().Item(u"Rate").SetValue(Currency::FromRaw(raw));
    rates.StoreNew();
  }

  TempFolder folder;
  std::string path = folder.File("books.db");
  std::shared_ptr<Database> db = Database::Open(path, Database::Options{50});
  std::unique_ptr<SqliteBookFactory> factory = std::make_unique<SqliteBookFactory>(db);
};

struct KeyCase {
  const char16_t* book;
  BookRecord record;
  std::vector<Variant> keys;  // FindByKey order
  size_t changed_key;         // the key that a near miss changes
};

class BookKeyTest : public SqliteBooksTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(BookKeyTest, FindsByEveryKeyFieldInOrder) {
  const KeyCase& c = GetParam();
  BookStore(db).Put(*FindBook(c.book), c.record);
  auto book = Open(c.book);
  EXPECT_TRUE(book->FindByKey(c.keys));
  for (const auto& [field, value] : c.record) {
    EXPECT_EQ(book->Fields().Item(field).Value(), value) << U16ToUtf8(field);
  }
  std::vector<Variant> near_miss = c.keys;
  Variant& changed = near_miss[c.changed_key];
  if (auto* text = std::get_if<std::u16string>(&changed)) {
    *text += u" ";  // exact comparison: a trailing blank is another key
  } else {
    changed = Date(std::get<Date>(changed).serial() + 1);
  }
  EXPECT_FALSE(book->FindByKey(near_miss));
  EXPECT_RAISES(book->FindByKey({}), kErrInvalidCall);
}

INSTANTIATE_TEST_SUITE_P(
    Books, BookKeyTest,
    ::testing::Values(
        KeyCase{u"PathKey",
                {{u"Key", u"RazizeRuveRO"}, {u"EntryPath", u"/srv/bank"}},
                {u"RazizeRuveRO"},
                0},
        KeyCase{u"REFCurrency", {{u"CurrencyCode", u"EUR"}, {u"Name", u"Euras"}}, {u"EUR"}, 0},
        KeyCase{u"REFCurrencyRateType",
                {{u"RateTypeCode", u"LB"},
                 {u"CurrencyCode", u"PLN"},
                 {u"Amount", Currency::FromInteger(10)},
                 {u"IsReverse", int32_t{-1}}},
                {u"LB", u"PLN"},
                1},
        KeyCase{u"REFCurrencyRate",
                {{u"IDC", int32_t{1}},
                 {u"CurrencyCode", u"USD"},
                 {u"RateTypeCode", u"Sell"},
                 {u"DateRate", kDay},
                 {u"Rate", Currency::FromRaw(31254)}},
                {u"USD", u"Sell", kDay},
                2},
        KeyCase{u"REFRateType",
                {{u"Code", u"CashBuy"}, {u"Name", u"Pirkimas grynais"}},
                {u"CashBuy"},
                0}));

TEST_F(SqliteBooksTest, EachStoreIsCommittedWithTheNextIdcAndOutlivesALaterFailure) {
  auto rates = Open(u"REFCurrencyRate");
  StoreRate(*rates, u"EUR", 34528);
  EXPECT_EQ(rates->Fields().Item(u"IDC").Value(), Variant(int32_t{1}));
  StoreRate(*rates, u"USD", 31254);
  EXPECT_EQ(rates->Fields().Item(u"IDC").Value(), Variant(int32_t{2}));

  std::vector<BookRecord> outside = SeenFromOutside(u"REFCurrencyRate");
  ASSERT_EQ(outside.size(), 2u);
  EXPECT_EQ(outside[0][u"CurrencyCode"], Variant(std::u16string(u"EUR")));
  EXPECT_EQ(outside[0][u"Rate"], Variant(Currency::FromRaw(34528)));
  EXPECT_EQ(outside[0][u"DateRate"], Variant(kDay));
  EXPECT_EQ(outside[1][u"IDC"], Variant(int32_t{2}));
  // A later failure keeps the rates stored before it.
  EXPECT_RAISES(StoreRate(*rates, u"EUR", 1), kErrInvalidCall);  // the same key again
  EXPECT_EQ(SeenFromOutside(u"REFCurrencyRate").size(), 2u);
}

TEST_F(SqliteBooksTest, UpdateAndDeleteWorkOnTheRecordWithThatIdc) {
  auto rates = Open(u"REFCurrencyRate");
  StoreRate(*rates, u"EUR", 34528);
  StoreRate(*rates, u"USD", 31254);
  ASSERT_TRUE(rates->FindByKey({u"EUR", u"LB", kDay}));
  rates->Fields().Item(u"Rate").SetValue(Currency::FromRaw(34529));
  rates->UpdateById(VariantToInt32(rates->Fields().Item(u"IDC").Value()));
  rates->DeleteById(2);

  std::vector<BookRecord> outside = SeenFromOutside(u"REFCurrencyRate");
  ASSERT_EQ(outside.size(), 1u);
  EXPECT_EQ(outside[0][u"IDC"], Variant(int32_t{1}));
  EXPECT_EQ(outside[0][u"Rate"], Variant(Currency::FromRaw(34529)));
  EXPECT_RAISES(rates->UpdateById(2), kErrInvalidCall);
  EXPECT_RAISES(rates->DeleteById(2), kErrInvalidCall);
  // A deleted IDC is not handed out again.
  StoreRate(*rates, u"GBP", 40123);
  EXPECT_EQ(rates->Fields().Item(u"IDC").Value(), Variant(int32_t{3}));
}

TEST_F(SqliteBooksTest, AmountsAndDatesKeepEveryDigit) {
  auto rates = Open(u"REFCurrencyRate");
  const int64_t largest = INT64_MAX;
  StoreRate(*rates, u"EUR", largest);
  StoreRate(*rates, u"USD", -1);
  ASSERT_TRUE(rates->FindByKey({u"EUR", u"LB", kDay}));
  EXPECT_EQ(rates->Fields().Item(u"Rate").Value(), Variant(Currency::FromRaw(largest)));
  // A key given as text is read the way the field's kind reads text.
  ASSERT_TRUE(rates->FindByKey({u"USD", u"LB", VariantToText(kDay)}));
  EXPECT_EQ(rates->Fields().Item(u"Rate").Value(), Variant(Currency::FromRaw(-1)));
  EXPECT_RAISES(rates->Fields().Item(u"Rate").SetValue(std::u16string(u"trys")), kErrTypeMismatch);
}

TEST_F(SqliteBooksTest, PutReplacesByKeyAndKeepsTheIdcAndUnknownNamesAreErrors) {
  BookStore store(db);
  const BookSpec& book = *FindBook(u"REFCurrencyRate");
  BookRecord rate{{u"CurrencyCode", u"EUR"},
                  {u"RateTypeCode", u"LB"},
                  {u"DateRate", kDay},
                  {u"Rate", Currency::FromRaw(1)}};
  EXPECT_EQ(store.Put(book, rate), 1);
  rate[u"Rate"] = Currency::FromRaw(2);
  EXPECT_EQ(store.Put(book, rate), 1);
  rate[u"IDC"] = int32_t{40};
  EXPECT_EQ(store.Put(book, rate), 40);
  std::vector<BookRecord> all = store.List(book);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0][u"Rate"], Variant(Currency::FromRaw(2)));
  // Names the host does not have.
  EXPECT_RAISES(store.Put(book, {{u"Kursas", u"1"}}), kErrInvalidCall);
  EXPECT_RAISES(Open(u"REFBank"), kErrInvalidCall);
  EXPECT_RAISES(Open(u"REFCurrency")->Fields().Item(u"Rate"), kErrInvalidCall);
  EXPECT_RAISES(Open(u"REFCurrency")->EntryPath(), 438);
}

TEST_F(SqliteBooksTest, AReadOnlyDatabaseReadsButRefusesChangesClearly) {
  BookStore(db).Put(*FindBook(u"REFCurrency"), {{u"CurrencyCode", u"EUR"}});
  factory.reset();
  db.reset();
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  ASSERT_EQ(chmod(folder.path().c_str(), 0777), 0);
  std::string answer = AsUnprivilegedUser([&] {
    SqliteBookFactory books(Database::Open(path));
    auto currencies = books.OpenBook(u"REFCurrency", nullptr);
    std::string found = currencies->FindByKey({u"EUR"}) ? "found; " : "not found; ";
    currencies->BeginNew();
    currencies->Fields().Item(u"CurrencyCode").SetValue(std::u16string(u"USD"));
    try {
      currencies->StoreNew();
      return found + "stored";
    } catch (const ComError& error) {
      return found + "error " + std::to_string(error.number()) + ": " +
             U16ToUtf8(error.description());
    }
  });
  EXPECT_EQ(answer.rfind(
                "found; error 70: Permission denied: the database '" + path + "' is read-only", 0),
            0u)
      << answer;
}

TEST_F(SqliteBooksTest, AFileThatIsNoDatabaseOfOursIsRefused) {
  folder.WriteBytes("notes.db", std::string(4096, 'x'));
  EXPECT_RAISES(Database::Open(folder.File("notes.db")), kErrDeviceIo);
  auto foreign = Database::Open(folder.File("foreign.db"));
  foreign->Execute("PRAGMA application_id=7");
  foreign.reset();
  EXPECT_RAISES(Database::Open(folder.File("foreign.db")), kErrDeviceIo);
  EXPECT_RAISES(Database::Open(folder.File("missing/books.db")), kErrPathFileAccess);
}

}  // namespace
}  // namespace norv::hostkit
