#include "hostkit/statement_store.h"

#include <bit>
#include <string_view>
#include <utility>

namespace norv::hostkit {

namespace {

// FNV-1a over the fields, each closed by a separator that no text holds.
class Fnv1a {
 public:
  void Add(std::u16string_view text) {
    for (char16_t c : text) Byte2(c);
    Byte2(0xFFFF);
  }
  void Add(uint64_t value) {
    for (int i = 0; i < 8; ++i) Byte(static_cast<uint8_t>(value >> (8 * i)));
  }
  uint64_t value() const { return hash_; }

 private:
  void Byte(uint8_t b) { hash_ = (hash_ ^ b) * 0x100000001b3ULL; }
  void Byte2(char16_t c) {
    Byte(static_cast<uint8_t>(c));
    Byte(static_cast<uint8_t>(c >> 8));
  }
  uint64_t hash_ = 0xcbf29ce484222325ULL;
};

}  // namespace

int64_t StatementFingerprint(const StatementDoc& doc) {
  Fnv1a hash;
  hash.Add(doc.ClientAccount);
  hash.Add(std::bit_cast<uint64_t>(doc.OpDate.serial()));
  hash.Add(uint64_t{doc.IsDebit});
  hash.Add(static_cast<uint64_t>(doc.Amount.raw()));
  hash.Add(doc.DocNumber);
  hash.Add(doc.CorrAccount);
  hash.Add(doc.Comment);
  return static_cast<int64_t>(hash.value());
}

void StatementStore::FillMissingFingerprints() {
  std::vector<std::pair<int64_t, int64_t>> filled;
  {
    Statement missing = db_->Prepare(
        "SELECT id, ClientAccount, OpDate, IsDebit, Amount, DocNumber, CorrAccount, Comment"
        " FROM statement_docs WHERE fingerprint IS NULL");
    while (missing.Step()) {
      StatementDoc doc;
      doc.ClientAccount = missing.Text(1);
      doc.OpDate = Date(missing.Double(2));
      doc.IsDebit = missing.Int64(3) != 0;
      doc.Amount = Currency::FromRaw(missing.Int64(4));
      doc.DocNumber = missing.Text(5);
      doc.CorrAccount = missing.Text(6);
      doc.Comment = missing.Text(7);
      filled.emplace_back(missing.Int64(0), StatementFingerprint(doc));
    }
  }
  if (filled.empty()) return;
  // A savepoint: it nests in the caller's transaction or stands alone.
  db_->Savepoint([&] {
    for (const auto& [id, fingerprint] : filled) {
      db_->Prepare("UPDATE statement_docs SET fingerprint = ? WHERE id = ?")
          .Bind(1, fingerprint)
          .Bind(2, id)
          .Run();
    }
    return filled.size();
  });
}

int64_t StatementStore::LastId() {
  Statement last = db_->Prepare("SELECT COALESCE(MAX(id), 0) FROM statement_docs");
  return last.Step() ? last.Int64(0) : 0;
}

StatementStore::Match StatementStore::SamePayment(const StatementDoc& doc, int64_t last_id) {
  Statement same = db_->Prepare(
      "SELECT COUNT(*), COALESCE(MIN(id), 0) FROM statement_docs WHERE fingerprint = ?"
      " AND id <= ? AND ClientAccount = ? AND OpDate = ? AND IsDebit = ? AND Amount = ?"
      " AND DocNumber = ? AND CorrAccount = ? AND Comment = ?");
  same.Bind(1, StatementFingerprint(doc))
      .Bind(2, last_id)
      .Bind(3, std::u16string_view(doc.ClientAccount))
      .Bind(4, doc.OpDate.serial())
      .Bind(5, static_cast<int64_t>(doc.IsDebit ? 1 : 0))
      .Bind(6, static_cast<int64_t>(doc.Amount.raw()))
      .Bind(7, std::u16string_view(doc.DocNumber))
      .Bind(8, std::u16string_view(doc.CorrAccount))
      .Bind(9, std::u16string_view(doc.Comment));
  Match match;
  if (same.Step()) {
    match.count = same.Int64(0);
    match.first_id = same.Int64(1);
  }
  return match;
}

void StatementStore::AddImport(const std::u16string& file, const std::u16string& account, Date from,
                               Date to) {
  db_->Prepare(
         "INSERT INTO statement_imports (imported_at, file, account, date_from, date_to)"
         " VALUES (?, ?, ?, ?, ?)")
      .Bind(1, Date::Now().serial())
      .Bind(2, std::u16string_view(file))
      .Bind(3, std::u16string_view(account))
      .Bind(4, from.serial())
      .Bind(5, to.serial())
      .Run();
}

std::vector<StatementImport> StatementStore::OverlappingImports(const std::u16string& account,
                                                                Date from, Date to) {
  Statement overlapping = db_->Prepare(
      "SELECT id, imported_at, file, account, date_from, date_to FROM statement_imports"
      " WHERE account = ? AND date_from <= ? AND date_to >= ? ORDER BY id");
  overlapping.Bind(1, std::u16string_view(account)).Bind(2, to.serial()).Bind(3, from.serial());
  std::vector<StatementImport> imports;
  while (overlapping.Step()) {
    imports.push_back({overlapping.Int64(0), Date(overlapping.Double(1)), overlapping.Text(2),
                       overlapping.Text(3), Date(overlapping.Double(4)),
                       Date(overlapping.Double(5))});
  }
  return imports;
}

ImportMatcher::ImportMatcher(std::shared_ptr<Database> db) : db_(db), store_(std::move(db)) {
  store_.FillMissingFingerprints();
  last_id_ = store_.LastId();
  db_->Execute(
      "CREATE TEMP TABLE IF NOT EXISTS import_matched (first_id INTEGER PRIMARY KEY,"
      " used INTEGER NOT NULL);"
      "DELETE FROM temp.import_matched");
}

bool ImportMatcher::AlreadyImported(const StatementDoc& doc) {
  if (last_id_ == 0) return false;
  const StatementStore::Match match = store_.SamePayment(doc, last_id_);
  if (match.count == 0) return false;
  int64_t used = 0;
  {
    Statement read = db_->Prepare("SELECT used FROM temp.import_matched WHERE first_id = ?");
    read.Bind(1, match.first_id);
    if (read.Step()) used = read.Int64(0);
  }
  if (used >= match.count) return false;
  db_->Prepare("INSERT OR REPLACE INTO temp.import_matched (first_id, used) VALUES (?, ?)")
      .Bind(1, match.first_id)
      .Bind(2, used + 1)
      .Run();
  return true;
}

namespace {

constexpr char kInsert[] =
    "INSERT INTO statement_docs (imported_at, file, account, DocKind, ClientAccount, CorrAccount,"
    " CorrCode, CorrBankName, Amount, CurrencyCode, IsDebit, CurrencyKind, DocNumber, OpDate,"
    " Comment, ClientIban, CorrIban, fingerprint)"
    " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

// Binds the document's fields and fingerprint (parameters 4 to 18) and runs the insert.
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
      .Bind(17, std::u16string_view(doc.CorrIban))
      .Bind(18, StatementFingerprint(doc));
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
