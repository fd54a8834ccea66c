// The documents model reads the database a page at a time, as a view asks.
#include <gtest/gtest.h>

#include <string>

#include "hostkit/database.h"
#include "hostkit/statement_store.h"
#include "runtime/regional.h"
#include "runtime/text.h"
#include "support/recording_host.h"
#include "window/documents_model.h"

namespace clientbank::window {
namespace {

TEST(DocumentsModelTest, FetchesAPageAtATimeAndReadsEvictedPagesAgain) {
  norv::RegionalSettings::SetCurrent(norv::RegionalSettings::LtLT());
  norv::testing::TempFolder folder;
  auto db = norv::hostkit::Database::Open(folder.File("docs.db"));
  norv::hostkit::StatementStore store(db);
  db->Transaction([&] {
    for (int i = 0; i < 5000; ++i) {
      norv::StatementDoc doc;
      doc.DocKind = 1;
      doc.DocNumber = u"D-" + norv::Utf8ToU16(std::to_string(i));
      store.Add(u"statement.txt", u"LT001", doc);
    }
  });

  DocumentsModel model(db, 100);
  model.Reload();
  EXPECT_EQ(model.stored(), 5000);
  EXPECT_EQ(model.rowCount(), 100);  // one page, not the whole table
  EXPECT_TRUE(model.canFetchMore(QModelIndex()));
  model.fetchMore(QModelIndex());
  EXPECT_EQ(model.rowCount(), 200);
  while (model.canFetchMore(QModelIndex())) model.fetchMore(QModelIndex());
  EXPECT_EQ(model.rowCount(), 5000);

  // The first pages have left the cache by now and are read again by id.
  auto number = [&](int row) { return model.index(row, 1).data().toString(); };
  EXPECT_EQ(number(0), QStringLiteral("D-0"));
  EXPECT_EQ(number(4999), QStringLiteral("D-4999"));
  EXPECT_EQ(number(150), QStringLiteral("D-150"));
}

}  // namespace
}  // namespace clientbank::window
