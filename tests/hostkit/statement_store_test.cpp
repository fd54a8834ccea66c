// The statement store's memory of what was imported: documents found again by
// their fingerprint (and only by equal fields), repeated payments within one
// statement, files from before fingerprints, and overlapping date ranges.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>

#include "hostkit/database.h"
#include "hostkit/statement_store.h"
#include "support/recording_host.h"

namespace norv::hostkit {
namespace {

using norv::testing::TempFolder;

StatementDoc Payment(std::u16string number, int64_t cents, std::u16string comment = u"rent") {
  StatementDoc doc;
  doc.DocKind = kDocOperation;
  doc.ClientAccount = u"LT437044060012345678";
  doc.CorrAccount = u"LT157300010087654321";
  doc.Amount = Currency::FromRaw(cents * 100);
  doc.IsDebit = true;
  doc.DocNumber = std::move(number);
  doc.OpDate = Date::FromCivil(2024, 1, 15);
  doc.Comment = std::move(comment);
  return doc;
}

class StatementStoreTest : public ::testing::Test {
 protected:
  // Imports `docs` as the program does; returns how many were new.
  int Import(const std::vector<StatementDoc>& docs) {
    ImportMatcher matcher(db);
    int fresh = 0;
    db->Transaction([&] {
      for (const StatementDoc& doc : docs) {
        if (matcher.AlreadyImported(doc)) continue;
        store.Add(u"st.txt", u"LT437044060012345678", doc);
        ++fresh;
      }
    });
    return fresh;
  }

  TempFolder folder;
  std::string path = folder.File("cb.db");
  std::shared_ptr<Database> db = Database::Open(path);
  StatementStore store{db};
};

TEST_F(StatementStoreTest, EachFieldOfTheFingerprintTellsDocumentsApart) {
  EXPECT_EQ(Import({Payment(u"1", 100)}), 1);
  StatementDoc other_day = Payment(u"1", 100);
  other_day.OpDate = Date::FromCivil(2024, 1, 16);
  StatementDoc credit = Payment(u"1", 100);
  credit.IsDebit = false;
  StatementDoc other_account = Payment(u"1", 100);
  other_account.CorrAccount = u"LT547044060011112222";
  EXPECT_EQ(Import({Payment(u"1", 100), Payment(u"2", 100), Payment(u"1", 101),
                    Payment(u"1", 100, u"rent."), other_day, credit, other_account}),
            6);
  EXPECT_EQ(store.List().size(), 7u);
}

TEST_F(StatementStoreTest, AStatementMayHoldTheSamePaymentTwice) {
  EXPECT_EQ(Import({Payment(u"1", 100), Payment(u"1", 100)}), 2);
  // Once more with a third copy: only the third is new.
  EXPECT_EQ(Import({Payment(u"1", 100), Payment(u"1", 100), Payment(u"1", 100)}), 1);
  EXPECT_EQ(Import({Payment(u"1", 100), Payment(u"1", 100), Payment(u"1", 100)}), 0);
}

TEST_F(StatementStoreTest, DocumentsStoredBeforeFingerprintsAreFoundToo) {
  Import({Payment(u"1", 100)});
  db->Execute("UPDATE statement_docs SET fingerprint = NULL");
  EXPECT_EQ(Import({Payment(u"1", 100)}), 0);
}

TEST_F(StatementStoreTest, AFileOfTheFirstSchemaIsUpgraded) {
  db.reset();
  TempFolder old_folder;
  const std::string old_path = old_folder.File("old.db");
  sqlite3* handle = nullptr;
  ASSERT_EQ(sqlite3_open(old_path.c_str(), &handle), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(handle,
                         "CREATE TABLE statement_docs (id INTEGER PRIMARY KEY AUTOINCREMENT,"
                         " imported_at REAL NOT NULL, file TEXT NOT NULL, account TEXT NOT NULL,"
                         " DocKind INTEGER, ClientAccount TEXT, CorrAccount TEXT, CorrCode TEXT,"
                         " CorrBankName TEXT, Amount INTEGER, CurrencyCode TEXT, IsDebit INTEGER,"
                         " CurrencyKind INTEGER, DocNumber TEXT, OpDate REAL, Comment TEXT,"
                         " ClientIban TEXT, CorrIban TEXT);"
                         "PRAGMA user_version=1;",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(handle);
  db = Database::Open(old_path);
  StatementStore old_store(db);
  ImportMatcher first(db);
  EXPECT_FALSE(first.AlreadyImported(Payment(u"1", 100)));
  old_store.Add(u"st.txt", u"LT437044060012345678", Payment(u"1", 100));
  ImportMatcher second(db);
  EXPECT_TRUE(second.AlreadyImported(Payment(u"1", 100)));
  Statement version = db->Prepare("PRAGMA user_version");
  ASSERT_TRUE(version.Step());
  EXPECT_EQ(version.Int64(0), Database::kSchemaVersion);
}

TEST_F(StatementStoreTest, OverlappingImportsOfTheSameAccount) {
  const std::u16string account = u"LT437044060012345678";
  store.AddImport(u"jan.txt", account, Date::FromCivil(2024, 1, 1), Date::FromCivil(2024, 1, 31));
  store.AddImport(u"other.txt", u"LT157300010087654321", Date::FromCivil(2024, 1, 1),
                  Date::FromCivil(2024, 1, 31));
  const auto overlapping =
      store.OverlappingImports(account, Date::FromCivil(2024, 1, 31), Date::FromCivil(2024, 2, 29));
  ASSERT_EQ(overlapping.size(), 1u);
  EXPECT_EQ(overlapping[0].file, u"jan.txt");
  EXPECT_EQ(overlapping[0].date_from, Date::FromCivil(2024, 1, 1));
  EXPECT_TRUE(
      store.OverlappingImports(account, Date::FromCivil(2024, 2, 1), Date::FromCivil(2024, 2, 29))
          .empty());
}

}  // namespace
}  // namespace norv::hostkit
