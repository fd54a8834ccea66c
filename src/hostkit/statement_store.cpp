#include "hostkit/statement_store.h"

namespace norv::hostkit {

namespace {

constexpr char kInsert[] =
    "INSERT INTO statement_docs (imported_at, file, account, DocKind, ClientAccount, CorrAccount,"
    " CorrCode, CorrBankName, Amount, CurrencyCode, IsDebit, CurrencyKind, DocNumber, OpDate,"
    " Comment, ClientIban, CorrIban) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

// Binds the document's fields (parameters 4 to 17) and runs the insert.
void InsertDoc(Statement& insert, const StatementDoc& doc) {
  insert.Bind(4, static_cast<int64_t>(doc.DocKind))
      .Bind(5, std::u16string_view(doc.ClientAccount))
      .Bind(6, std::u16string_view(doc.CorrAccount))
      .Bind(7, std::u16string_view(doc.CorrCode))
      .Bind(8, std::u16string_view(doc.CorrBankName))
      .Bind(9, static_cast<int64_t>(doc.Amount.raw()))
      .Bind(10, std::u16string_view(doc.CurrencyCode))
      .Bind(11, static_cast<int64_t>(doc.IsDebit ? 1 : 0))
      .Bind(12, static_cast<int64_t>(doc.CurrencyKind))
      .Bind(13, std::u16string_view(doc.DocNumber))
      .Bind(14, doc.OpDate.serial())
      .Bind(15, std::u16string_view(doc.Comment))
      .Bind(16, std::u16string_view(doc.ClientIban))
      .Bind(17, std::u16string_view(doc.CorrIban));
  insert.Run();
}

}  // namespace

StatementStore::Writer::Writer(Database& db, const std::u16string& file,
                               const std::u16string& account)
    : insert_(db.Prepare(kInsert)) {
  insert_.Bind(1, Date::Now().serial())
      .Bind(2, std::u16string_view(file))
      .Bind(3, std::u16string_view(account));
}

void StatementStore::Writer::Add(const StatementDoc& doc) {
  InsertDoc(insert_, doc);
  insert_.Reset();
}

int64_t StatementStore::Add(const std::u16string& file, const std::u16string& account,
                            const StatementDoc& doc) {
  Statement insert = db_->Prepare(kInsert);
  insert.Bind(1, Date::Now().serial())
      .Bind(2, std::u16string_view(file))
      .Bind(3, std::u16string_view(account));
  InsertDoc(insert, doc);
  return db_->LastInsertRowId();
}

namespace {

constexpr char kColumns[] =
    "SELECT id, imported_at, file, account, DocKind, ClientAccount, CorrAccount, CorrCode,"
    " CorrBankName, Amount, CurrencyCode, IsDebit, CurrencyKind, DocNumber, OpDate, Comment,"
    " ClientIban, CorrIban FROM statement_docs ";

StoredStatementDoc ReadRow(const Statement& row) {
  StoredStatementDoc stored;
  stored.id = row.Int64(0);
  stored.imported_at = Date(row.Double(1));
  stored.file = row.Text(2);
  stored.account = row.Text(3);
  StatementDoc& doc = stored.doc;
  doc.DocKind = static_cast<int32_t>(row.Int64(4));
  doc.ClientAccount = row.Text(5);
  doc.CorrAccount = row.Text(6);
  doc.CorrCode = row.Text(7);
  doc.CorrBankName = row.Text(8);
  doc.Amount = Currency::FromRaw(row.Int64(9));
  doc.CurrencyCode = row.Text(10);
  doc.IsDebit = row.Int64(11) != 0;
  doc.CurrencyKind = static_cast<int32_t>(row.Int64(12));
  doc.DocNumber = row.Text(13);
  doc.OpDate = Date(row.Double(14));
  doc.Comment = row.Text(15);
  doc.ClientIban = row.Text(16);
  doc.CorrIban = row.Text(17);
  return stored;
}

}  // namespace

std::vector<StoredStatementDoc> StatementStore::List() {
  Statement list = db_->Prepare(std::string(kColumns) + "ORDER BY id");
  std::vector<StoredStatementDoc> docs;
  while (list.Step()) docs.push_back(ReadRow(list));
  return docs;
}

std::vector<StoredStatementDoc> StatementStore::Page(int64_t after_id, int limit) {
  Statement page = db_->Prepare(std::string(kColumns) + "WHERE id > ? ORDER BY id LIMIT ?");
  page.Bind(1, after_id).Bind(2, static_cast<int64_t>(limit));
  std::vector<StoredStatementDoc> docs;
  while (page.Step()) docs.push_back(ReadRow(page));
  return docs;
}

int64_t StatementStore::Count() {
  Statement count = db_->Prepare("SELECT COUNT(*) FROM statement_docs");
  return count.Step() ? count.Int64(0) : 0;
}

}  // namespace norv::hostkit
