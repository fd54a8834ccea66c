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

std::vector<StoredStatementDoc> StatementStore::List() {
  Statement list = db_->Prepare(
      "SELECT id, imported_at, file, account, DocKind, ClientAccount, CorrAccount, CorrCode,"
      " CorrBankName, Amount, CurrencyCode, IsDebit, CurrencyKind, DocNumber, OpDate, Comment,"
      " ClientIban, CorrIban FROM statement_docs ORDER BY id");
  std::vector<StoredStatementDoc> docs;
  while (list.Step()) {
    StoredStatementDoc stored;
    stored.id = list.Int64(0);
    stored.imported_at = Date(list.Double(1));
    stored.file = list.Text(2);
    stored.account = list.Text(3);
    StatementDoc& doc = stored.doc;
    doc.DocKind = static_cast<int32_t>(list.Int64(4));
    doc.ClientAccount = list.Text(5);
    doc.CorrAccount = list.Text(6);
    doc.CorrCode = list.Text(7);
    doc.CorrBankName = list.Text(8);
    doc.Amount = Currency::FromRaw(list.Int64(9));
    doc.CurrencyCode = list.Text(10);
    doc.IsDebit = list.Int64(11) != 0;
    doc.CurrencyKind = static_cast<int32_t>(list.Int64(12));
    doc.DocNumber = list.Text(13);
    doc.OpDate = Date(list.Double(14));
    doc.Comment = list.Text(15);
    doc.ClientIban = list.Text(16);
    doc.CorrIban = list.Text(17);
    docs.push_back(std::move(stored));
  }
  return docs;
}

}  // namespace norv::hostkit
