// Small table models of the window: rows of texts under fixed headers. The
// rates model reads the current rate book of the database; the files model
// lists the files the exports of this session wrote. Both stay small (a rate
// per currency and rate type, a file or two per export), so each holds its
// rows whole.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>
#include <memory>
#include <vector>

#include "hostkit/database.h"

namespace clientbank::window {

// A read-only view of whole rows over `model`, every row as high as the font:
// the view then never measures rows, which keeps scrolling through a million
// of them smooth.
QTableView* MakeTableView(QAbstractItemModel* model);

class TextTableModel : public QAbstractTableModel {
 public:
  // Columns listed in `numeric` stand right-aligned.
  TextTableModel(QStringList headers, std::vector<int> numeric, QObject* parent = nullptr);

  void SetRows(std::vector<QStringList> rows);
  void PrependRow(QStringList row);
  QString Cell(int row, int column) const { return rows_.at(row).value(column); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QStringList headers_;
  std::vector<int> numeric_;
  std::vector<QStringList> rows_;
};

// The rate book (REFCurrencyRate): currency, rate type, date, rate.
class RatesModel : public TextTableModel {
 public:
  explicit RatesModel(std::shared_ptr<norv::hostkit::Database> db, QObject* parent = nullptr);
  void Reload();

 private:
  std::shared_ptr<norv::hostkit::Database> db_;
};

// Files written: path, lines, size in bytes, when written; the newest first.
class FilesModel : public TextTableModel {
 public:
  explicit FilesModel(QObject* parent = nullptr);
  // Adds the file at `path` as it is on disk now; a missing file is left out.
  void Add(const QString& path);
};

}  // namespace clientbank::window
