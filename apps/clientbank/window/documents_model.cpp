#include "documents_model.h"

#include <QLocale>
#include <QtGlobal>
#include <exception>

#include "core/records.h"
#include "hostkit/statement_store.h"
#include "qt/qt_text.h"
#include "runtime/variant.h"

namespace clientbank::window {
namespace {

using norv::qt::Q;

// How many pages of cells stay in memory: a few screens either way of the view.
constexpr size_t kPagesKept = 16;

const QStringList& Headers() {
  static const QStringList headers = {
      QStringLiteral("Sąskaita"),   QStringLiteral("Dok. Nr."),      QStringLiteral("Data"),
      QStringLiteral("D/K"),        QStringLiteral("Suma"),          QStringLiteral("Valiuta"),
      QStringLiteral("Kor. kodas"), QStringLiteral("Kor. sąskaita"), QStringLiteral("Kor. bankas"),
      QStringLiteral("Paskirtis")};
  return headers;
}
constexpr int kAmountColumn = 4;

// Amounts with their two decimals, as an accountant reads them.
QString Money(norv::Currency amount) {
  static const QLocale lithuanian(QLocale::Lithuanian, QLocale::Lithuania);
  return lithuanian.toString(static_cast<double>(amount.raw()) / 10000.0, 'f', 2);
}

QStringList Cells(const norv::StatementDoc& doc) {
  return {Q(doc.ClientAccount),
          Q(doc.DocNumber),
          Q(norv::VariantToText(norv::Variant(doc.OpDate))),
          doc.IsDebit ? QStringLiteral("D") : QStringLiteral("K"),
          Money(doc.Amount),
          Q(doc.CurrencyCode),
          Q(doc.CorrCode),
          Q(doc.CorrAccount),
          Q(doc.CorrBankName),
          Q(doc.Comment)};
}

}  // namespace

DocumentsModel::DocumentsModel(std::shared_ptr<norv::hostkit::Database> db, int page_size,
                               QObject* parent)
    : QAbstractTableModel(parent), db_(std::move(db)), page_size_(page_size) {}

void DocumentsModel::Reload() {
  beginResetModel();
  ids_.clear();
  pages_.clear();
  uses_.clear();
  at_end_ = false;
  stored_ = norv::hostkit::StatementStore(db_).Count();
  endResetModel();
  fetchMore(QModelIndex());
}

int DocumentsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(ids_.size());
}

int DocumentsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Headers().size());
}

bool DocumentsModel::canFetchMore(const QModelIndex& parent) const {
  return !parent.isValid() && !at_end_;
}

void DocumentsModel::fetchMore(const QModelIndex& parent) {
  if (parent.isValid() || at_end_) return;
  const int first = static_cast<int>(ids_.size());
  std::vector<Row> rows = Read(ids_.empty() ? 0 : ids_.back(), true);
  at_end_ = static_cast<int>(rows.size()) < page_size_;
  if (rows.empty()) return;
  beginInsertRows(QModelIndex(), first, static_cast<int>(ids_.size()) - 1);
  Keep(first / page_size_, std::move(rows));
  endInsertRows();
}

std::vector<DocumentsModel::Row> DocumentsModel::Read(int64_t after_id, bool append) {
  std::vector<Row> rows;
  for (const norv::hostkit::StoredStatementDoc& stored :
       norv::hostkit::StatementStore(db_).Page(after_id, page_size_)) {
    if (append) ids_.push_back(stored.id);
    rows.push_back(Cells(stored.doc));
  }
  return rows;
}

void DocumentsModel::Keep(int page, std::vector<Row> rows) const {
  auto found = pages_.find(page);
  if (found != pages_.end()) uses_.erase(found->second.use);
  uses_.push_front(page);
  pages_[page] = Page{std::move(rows), uses_.begin()};
  while (pages_.size() > kPagesKept) {
    pages_.erase(uses_.back());
    uses_.pop_back();
  }
}

const DocumentsModel::Page& DocumentsModel::PageOf(int row) const {
  const int page = row / page_size_;
  auto found = pages_.find(page);
  if (found != pages_.end()) {
    uses_.splice(uses_.begin(), uses_, found->second.use);
    return found->second;
  }
  const size_t first = static_cast<size_t>(page) * page_size_;
  const int64_t after_id = first == 0 ? 0 : ids_[first - 1];
  Keep(page, const_cast<DocumentsModel*>(this)->Read(after_id, false));
  return pages_.at(page);
}

QVariant DocumentsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::TextAlignmentRole && index.column() == kAmountColumn) {
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole) return {};
  // Called while painting: a failed read leaves the cell empty rather than
  // raise into Qt's paint loop.
  try {
    const Page& page = PageOf(index.row());
    const size_t in_page = static_cast<size_t>(index.row() % page_size_);
    if (in_page >= page.rows.size()) return {};
    return page.rows[in_page].value(index.column());
  } catch (const std::exception& error) {
    qWarning("documents could not be read: %s", error.what());
    return {};
  }
}

QVariant DocumentsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return Headers().value(section);
}

}  // namespace clientbank::window
