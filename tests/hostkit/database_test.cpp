// Transactions of the default host's database never stay half done, and every
// error names the file and, in words, the action that failed.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "hostkit/database.h"
#include "runtime/com_error.h"
#include "runtime/text.h"
#include "support/data_files.h"
#include "support/recording_host.h"

namespace norv::hostkit {
namespace {

using norv::testing::TempFolder;

class DatabaseTest : public ::testing::Test {
 protected:
  // The description of the error that `fn` raises ("" and a failure when none).
  template <typename Fn>
  std::string ErrorOf(Fn&& fn, int32_t number) {
    try {
      fn();
    } catch (const ComError& error) {
      EXPECT_EQ(error.number(), number) << U16ToUtf8(error.description());
      EXPECT_EQ(error.source(), u"DefaultHost.Database");
      return U16ToUtf8(error.description());
    }
    ADD_FAILURE() << "nothing raised";
    return "";
  }
  int64_t Count(const std::string& table) {
    Statement count = db->Prepare("SELECT count(*) FROM " + table);
    return count.Step() ? count.Int64(0) : -1;
  }

  TempFolder folder;
  std::string path = folder.File("db.sqlite");
  std::shared_ptr<Database> db = Database::Open(path, Database::Options{50});
};

TEST_F(DatabaseTest, AFailedCommitRollsBackAndSaysSo) {
  // A deferred foreign key is checked at COMMIT only.
  db->Execute(
      "PRAGMA foreign_keys = ON; CREATE TABLE parent (id INTEGER PRIMARY KEY);"
      "CREATE TABLE child (p INTEGER REFERENCES parent (id) DEFERRABLE INITIALLY DEFERRED)");
  const std::string text =
      ErrorOf([&] { db->Transaction([&] { db->Execute("INSERT INTO child VALUES (7)"); }); },
              kErrInvalidCall);
  EXPECT_NE(text.find("FOREIGN KEY constraint failed (while saving the changes)"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find(path), std::string::npos);
  EXPECT_FALSE(db->InTransaction());
  EXPECT_EQ(Count("child"), 0);
  db->Transaction([&] { db->Execute("INSERT INTO parent VALUES (1)"); });  // usable again
  EXPECT_EQ(Count("parent"), 1);
}

TEST_F(DatabaseTest, AFailureKeepsWhatWasDoneOnlyWhenAskedTo) {
  for (const auto on_failure : {Database::OnFailure::kRollBack, Database::OnFailure::kKeepDone}) {
    db->Execute("DELETE FROM settings");
    EXPECT_THROW(db->Transaction(
                     [&] {
                       db->SetSetting("a", "1");
                       throw std::runtime_error("the work failed");
                     },
                     on_failure),
                 std::runtime_error);
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(Count("settings"), on_failure == Database::OnFailure::kKeepDone ? 1 : 0);
  }
}

TEST_F(DatabaseTest, AWriteWaitsForAnotherProgramAndSaysHowLong) {
  std::shared_ptr<Database> other = Database::Open(path);
  other->Execute("BEGIN IMMEDIATE");  // another program is writing
  const struct {
    std::function<void()> write;
    const char* action;
  } cases[] = {
      {[&] { db->Transaction([&] { db->SetSetting("a", "1"); }); }, "(while starting a change)"},
      {[&] { db->SetSetting("a", "1"); }, "(while adding to the settings)"},
  };
  for (const auto& c : cases) {
    const std::string text = ErrorOf(c.write, kErrPathFileAccess);
    EXPECT_NE(text.find("the database '" + path +
                        "' is busy: another program held it for all of the 50 ms this program "
                        "waited; try again when it has finished " +
                        c.action),
              std::string::npos)
        << text;
  }
  other->Execute("COMMIT");
  db->Transaction([&] { db->SetSetting("a", "1"); });
  EXPECT_EQ(db->Setting("a", ""), "1");
}

// tests/data/database_errors: a statement that fails and the action in words.
TEST_F(DatabaseTest, ErrorsNameTheActionInWordsNeverTheSql) {
  db->Execute("INSERT INTO book_REFCurrency (CurrencyCode) VALUES ('EUR')");
  for (const testing::Row& row : testing::Manifest("database_errors", 2)) {
    const std::string text = ErrorOf([&] { db->Execute(row[0]); }, kErrInvalidCall);
    EXPECT_NE(text.find("(while " + row[1] + ")"), std::string::npos) << text;
    EXPECT_EQ(text.find(row[0]), std::string::npos) << text;
    EXPECT_NE(text.find(path), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace norv::hostkit
