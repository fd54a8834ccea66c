#include "table_models.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <algorithm>

#include "hostkit/book_layouts.h"
#include "hostkit/sqlite_books.h"
#include "runtime/variant.h"

namespace clientbank::window {

QTableView* MakeTableView(QAbstractItemModel* model) {
  auto* view = new QTableView;
  view->setModel(model);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setAlternatingRowColors(true);
  view->setWordWrap(false);
  view->verticalHeader()->setVisible(false);
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->horizontalHeader()->setStretchLastSection(true);
  return view;
}
namespace {

QString Text(const norv::Variant& value) {
  return QString::fromStdU16String(norv::VariantToText(value));
}

// Rates keep all four decimals the bank quotes: 3,4600.
QString Rate(const norv::Variant& rate) {
  return QLocale(QLocale::Lithuanian, QLocale::Lithuania)
      .toString(static_cast<double>(norv::VariantToCurrency(rate).raw()) / 10000.0, 'f', 4);
}

qint64 CountLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return 0;
  qint64 lines = 0;
  char buffer[1 << 16];
  for (qint64 got; (got = file.read(buffer, sizeof buffer)) > 0;) {
    lines += std::count(buffer, buffer + got, '\n');
  }
  return lines;
}

}  // namespace

TextTableModel::TextTableModel(QStringList headers, std::vector<int> numeric, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)), numeric_(std::move(numeric)) {}

void TextTableModel::SetRows(std::vector<QStringList> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

void TextTableModel::PrependRow(QStringList row) {
  beginInsertRows(QModelIndex(), 0, 0);
  rows_.insert(rows_.begin(), std::move(row));
  endInsertRows();
}

int TextTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TextTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) return Cell(index.row(), index.column());
  if (role == Qt::TextAlignmentRole &&
      std::find(numeric_.begin(), numeric_.end(), index.column()) != numeric_.end()) {
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  }
  return {};
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return headers_.value(section);
}

RatesModel::RatesModel(std::shared_ptr<norv::hostkit::Database> db, QObject* parent)
    : TextTableModel({QStringLiteral("Valiuta"), QStringLiteral("Kurso tipas"),
                      QStringLiteral("Data"), QStringLiteral("Kursas")},
                     {3}, parent),
      db_(std::move(db)) {}

void RatesModel::Reload() {
  std::vector<QStringList> rows;
  if (const norv::hostkit::BookLayout* book = norv::hostkit::FindBook(u"REFCurrencyRate")) {
    for (norv::hostkit::BookRecord& record : norv::hostkit::BookStore(db_).List(*book)) {
      rows.push_back({Text(record[u"CurrencyCode"]), Text(record[u"RateTypeCode"]),
                      Text(record[u"DateRate"]), Rate(record[u"Rate"])});
    }
  }
  SetRows(std::move(rows));
}

FilesModel::FilesModel(QObject* parent)
    : TextTableModel({QStringLiteral("Failas"), QStringLiteral("Eilučių"),
                      QStringLiteral("Dydis, B"), QStringLiteral("Įrašytas")},
                     {1, 2}, parent) {}

void FilesModel::Add(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return;
  PrependRow({info.absoluteFilePath(), QString::number(CountLines(path)),
              QString::number(info.size()),
              info.lastModified().toString(QStringLiteral("yyyy.MM.dd HH:mm:ss"))});
}

}  // namespace clientbank::window
