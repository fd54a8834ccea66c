// DocumentsModel: the imported statement documents of the database as a table
// model, read a page at a time as a view scrolls down, so that a database of a
// million documents opens at once.
//
// Rows are fetched through canFetchMore/fetchMore, each page after the last id
// already read (keyset paging: a deep page costs what the first one does). The
// model keeps every fetched row's id but the cells of only a few pages; a page
// scrolled out of that cache is read again by its first id when it comes back
// into view. Reload() starts over, after a job has changed the documents.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <vector>

#include "hostkit/database.h"

namespace clientbank::window {

class DocumentsModel : public QAbstractTableModel {
 public:
  explicit DocumentsModel(std::shared_ptr<norv::hostkit::Database> db, int page_size = 512,
                          QObject* parent = nullptr);

  // Forgets what was read and fetches the first page again.
  void Reload();
  // How many documents the database holds (counted by Reload()).
  int64_t stored() const { return stored_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

 private:
  using Row = QStringList;  // the cells in column order
  struct Page {
    std::vector<Row> rows;
    std::list<int>::iterator use;  // its place in uses_
  };

  // Reads `page_size_` rows after `after_id`; appends their ids when `append`.
  std::vector<Row> Read(int64_t after_id, bool append);
  const Page& PageOf(int row) const;
  void Keep(int page, std::vector<Row> rows) const;

  std::shared_ptr<norv::hostkit::Database> db_;
  const int page_size_;
  int64_t stored_ = 0;
  bool at_end_ = false;
  std::vector<int64_t> ids_;  // of every fetched row, in order
  // The cached pages by number, and their numbers from the most recently used.
  mutable std::map<int, Page> pages_;
  mutable std::list<int> uses_;
};

}  // namespace clientbank::window
