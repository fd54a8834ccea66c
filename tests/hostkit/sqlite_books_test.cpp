// The reference books over SQLite: keys, IDC, each change committed as it is
// made (a read-only or foreign database, a held lock: tests/data/cli_runs).
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>

#include "hostkit/book_layouts.h"
#include "hostkit/database.h"
#include "hostkit/sqlite_books.h"
#include "runtime/error_matchers.h"
#include "runtime/text.h"
#include "support/data_files.h"
#include "support/recording_host.h"

namespace norv::hostkit {
namespace {

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

// The value of a field of `book` as tests/data/books/keys.jsonl writes it:
// amounts as the integer value x 10000, dates as "YYYY-MM-DD".
Variant ValueOf(const BookLayout& book, const std::string& field, const nlohmann::json& value) {
  switch (book.Field(Utf8ToU16(field))->kind) {
    case FieldKind::kText:
      return Utf8ToU16(value.get<std::string>());
    case FieldKind::kAmount:
      return Currency::FromRaw(value.get<int64_t>());
    case FieldKind::kDate: {
      const std::string date = value;
      return Date::FromCivil(std::stoi(date.substr(0, 4)), std::stoi(date.substr(5, 2)),
                             std::stoi(date.substr(8, 2)));
    }
    case FieldKind::kInteger:
      break;
  }
  return value.get<int32_t>();
}

// Each case: a record stored and found again by its key fields in order, every
// field as it was stored; a key with one field changed (a trailing blank, a day
// later) finds nothing.
TEST_F(SqliteBooksTest, FindsByEveryKeyFieldInOrder) {
  std::ifstream lines(norv::testing::DataPath("books", "keys.jsonl"));
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    SCOPED_TRACE(line);
    const nlohmann::json c = nlohmann::json::parse(line);
    const BookLayout& layout = *FindBook(Utf8ToU16(c["book"].get<std::string>()));
    BookRecord record;
    for (const auto& [field, value] : c["record"].items()) {
      record[Utf8ToU16(field)] = ValueOf(layout, field, value);
    }
    auto db_of_case = Database::Open(folder.File("case" + std::to_string(count) + ".db"));
    BookStore(db_of_case).Put(layout, record);
    auto book = SqliteBookFactory(db_of_case).OpenBook(std::u16string(layout.name), nullptr);
    std::vector<Variant> keys;
    for (std::u16string_view key : layout.keys) keys.push_back(record.at(std::u16string(key)));
    EXPECT_TRUE(book->FindByKey(keys));
    for (const auto& [field, value] : record) {
      EXPECT_EQ(book->Fields().Item(field).Value(), value) << U16ToUtf8(field);
    }
    Variant& changed = keys[c["changed_key"].get<size_t>()];
    if (auto* text = std::get_if<std::u16string>(&changed)) {
      *text += u" ";  // exact comparison: a trailing blank is another key
    } else {
      changed = Date(std::get<Date>(changed).serial() + 1);
    }
    EXPECT_FALSE(book->FindByKey(keys));
    EXPECT_RAISES(book->FindByKey({}), kErrInvalidCall);
  }
  EXPECT_GT(count, 5);
}

// Each change is committed as it is made and seen through another connection;
// update and delete work on the record with that IDC, and an IDC is never
// handed out twice.
TEST_F(SqliteBooksTest, EachChangeIsCommittedAndIdcsAreNotReused) {
  auto rates = Open(u"REFCurrencyRate");
  StoreRate(*rates, u"EUR", 34528);
  EXPECT_EQ(rates->Fields().Item(u"IDC").Value(), Variant(int32_t{1}));
  StoreRate(*rates, u"USD", 31254);
  EXPECT_EQ(rates->Fields().Item(u"IDC").Value(), Variant(int32_t{2}));
  EXPECT_EQ(SeenFromOutside(u"REFCurrencyRate").size(), 2u);
  // A later failure keeps the rates stored before it.
  EXPECT_RAISES(StoreRate(*rates, u"EUR", 1), kErrInvalidCall);  // the same key again
  ASSERT_TRUE(rates->FindByKey({u"EUR", u"LB", kDay}));
  rates->Fields().Item(u"Rate").SetValue(Currency::FromRaw(34529));
  rates->UpdateById(VariantToInt32(rates->Fields().Item(u"IDC").Value()));
  rates->DeleteById(2);

  std::vector<BookRecord> outside = SeenFromOutside(u"REFCurrencyRate");
  ASSERT_EQ(outside.size(), 1u);
  EXPECT_EQ(outside[0][u"IDC"], Variant(int32_t{1}));
  EXPECT_EQ(outside[0][u"Rate"], Variant(Currency::FromRaw(34529)));
  EXPECT_EQ(outside[0][u"DateRate"], Variant(kDay));
  EXPECT_RAISES(rates->UpdateById(2), kErrInvalidCall);
  EXPECT_RAISES(rates->DeleteById(2), kErrInvalidCall);
  StoreRate(*rates, u"GBP", 40123);
  EXPECT_EQ(rates->Fields().Item(u"IDC").Value(), Variant(int32_t{3}));
}

TEST_F(SqliteBooksTest, AKeyGivenAsTextIsReadAsItsFieldsKindReadsText) {
  auto rates = Open(u"REFCurrencyRate");
  StoreRate(*rates, u"USD", -1);
  ASSERT_TRUE(rates->FindByKey({u"USD", u"LB", VariantToText(kDay)}));
  EXPECT_EQ(rates->Fields().Item(u"Rate").Value(), Variant(Currency::FromRaw(-1)));
  EXPECT_RAISES(rates->Fields().Item(u"Rate").SetValue(std::u16string(u"trys")), kErrTypeMismatch);
}

TEST_F(SqliteBooksTest, PutReplacesByKeyAndKeepsTheIdcAndUnknownNamesAreErrors) {
  BookStore store(db);
  const BookLayout& book = *FindBook(u"REFCurrencyRate");
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
  EXPECT_RAISES(Database::Open(folder.File("missing/books.db")), kErrPathFileAccess);
}

}  // namespace
}  // namespace norv::hostkit
