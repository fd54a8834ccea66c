// The documents model reads the database a page at a time, as a view asks.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

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
  // One page, not the whole table.
  EXPECT_EQ(std::tuple(model.stored(), model.rowCount(), model.canFetchMore(QModelIndex())),
            std::tuple(5000, 100, true));
  model.fetchMore(QModelIndex());
  EXPECT_EQ(model.rowCount(), 200);
  while (model.canFetchMore(QModelIndex())) model.fetchMore(QModelIndex());
  EXPECT_EQ(model.rowCount(), 5000);

  // The first pages have left the cache by now and are read again by id.
  auto number = [&](int row) { return model.index(row, 1).data().toString(); };
  EXPECT_EQ(number(0) + u' ' + number(4999) + u' ' + number(150),
            QStringLiteral("D-0 D-4999 D-150"));
}

}  // namespace
}  // namespace clientbank::window
