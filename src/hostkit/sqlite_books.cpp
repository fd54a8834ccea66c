#include "hostkit/sqlite_books.h"

#include <limits>
#include <optional>

#include "hostkit/host_error.h"
#include "runtime/text.h"

namespace norv::hostkit {

namespace {

std::u16string SourceOf(const BookLayout& book) {
  return u"DefaultHost." + std::u16string(book.name);
}

std::string Column(std::u16string_view field) { return U16ToUtf8(field); }

// The columns of a book that the record's fields fill (all but IDC).
std::vector<const FieldLayout*> DataFields(const BookLayout& book) {
  std::vector<const FieldLayout*> fields;
  for (const FieldLayout& field : book.fields) {
    if (field.name != kIdcField) fields.push_back(&field);
  }
  return fields;
}

void BindValue(Statement& stmt, int index, FieldKind kind, const Variant& value) {
  if (std::holds_alternative<std::monostate>(value)) {
    stmt.BindNull(index);
    return;
  }
  switch (kind) {
    case FieldKind::kText:
      stmt.Bind(index, std::u16string_view(VariantToText(value)));
      break;
    case FieldKind::kAmount:
      stmt.Bind(index, static_cast<int64_t>(VariantToCurrency(value).raw()));
      break;
    case FieldKind::kDate:
      stmt.Bind(index, VariantToDate(value).serial());
      break;
    case FieldKind::kInteger:
      stmt.Bind(index, static_cast<int64_t>(VariantToInt32(value)));
      break;
  }
}

Variant ReadValue(const Statement& stmt, int column, FieldKind kind) {
  if (stmt.IsNull(column)) return std::monostate{};
  switch (kind) {
    case FieldKind::kText:
      return stmt.Text(column);
    case FieldKind::kAmount:
      return Currency::FromRaw(stmt.Int64(column));
    case FieldKind::kDate:
      return Date(stmt.Double(column));
    case FieldKind::kInteger:
      break;
  }
  int64_t value = stmt.Int64(column);
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    RaiseRuntime(kErrOverflow);
  }
  return static_cast<int32_t>(value);
}

std::string SelectSql(const BookLayout& book) {
  std::string sql = "SELECT IDC";
  for (const FieldLayout* field : DataFields(book)) sql += ", " + Column(field->name);
  return sql + " FROM " + book.table;
}

std::string KeyOrder(const BookLayout& book) {
  std::string sql;
  for (std::u16string_view key : book.keys)
    sql += (sql.empty() ? " ORDER BY " : ", ") + Column(key);
  return sql;
}

// Fills `record` from a row of SelectSql: IDC in column 0, then the data fields.
BookRecord ReadRecord(const BookLayout& book, const Statement& stmt, int64_t* idc) {
  BookRecord record;
  *idc = stmt.Int64(0);
  int column = 1;
  for (const FieldLayout* field : DataFields(book)) {
    record[std::u16string(field->name)] = ReadValue(stmt, column++, field->kind);
  }
  if (book.idc_field) record[std::u16string(kIdcField)] = ReadValue(stmt, 0, FieldKind::kInteger);
  return record;
}

class SqliteBook;

class SqliteBookField : public host::BookField {
 public:
  SqliteBookField(SqliteBook& book, const FieldLayout& field) : book_(book), layout_(field) {}
  Variant Value() override;
  void SetValue(const Variant& value) override;

 private:
  SqliteBook& book_;
  const FieldLayout& layout_;
};

class SqliteBook : public host::Book, public host::BookFields {
 public:
  SqliteBook(std::shared_ptr<Database> db, const BookLayout& layout)
      : db_(std::move(db)), layout_(layout) {
    for (const FieldLayout& field : layout_.fields) {
      fields_.push_back(std::make_unique<SqliteBookField>(*this, field));
    }
  }

  bool FindByKey(const std::vector<Variant>& keys) override {
    if (keys.size() != layout_.keys.size()) {
      RaiseHostError(kErrInvalidCall, SourceOf(layout_),
                     u"FindByKey of " + std::u16string(layout_.name) + u" takes " +
                         IntToText(static_cast<long long>(layout_.keys.size())) +
                         u" key values, not " + IntToText(static_cast<long long>(keys.size())));
    }
    std::string sql = SelectSql(layout_);
    for (size_t i = 0; i < layout_.keys.size(); ++i) {
      sql += (i == 0 ? " WHERE " : " AND ") + Column(layout_.keys[i]) + " = ?";
    }
    Statement find = db_->Prepare(sql);
    for (size_t i = 0; i < keys.size(); ++i) {
      const FieldLayout* key = layout_.Field(layout_.keys[i]);
      BindValue(find, static_cast<int>(i + 1), key->kind, ToFieldKind(key->kind, keys[i]));
    }
    if (!find.Step()) return false;
    int64_t idc = 0;
    current_ = ReadRecord(layout_, find, &idc);
    current_idc_ = idc;
    return true;
  }

  std::u16string EntryPath() override {
    if (layout_.name != u"PathKey") {
      RaiseHostError(
          kErrNotSupported, SourceOf(layout_),
          u"EntryPath belongs to the PathKey book, not to " + std::u16string(layout_.name));
    }
    return VariantToText(Get(u"EntryPath"));
  }

  host::BookFields& Fields() override { return *this; }

  host::BookField& Item(const std::u16string& name) override {
    for (size_t i = 0; i < layout_.fields.size(); ++i) {
      if (layout_.fields[i].name == name) return *fields_[i];
    }
    RaiseHostError(kErrInvalidCall, SourceOf(layout_),
                   u"the book " + std::u16string(layout_.name) + u" has no field '" + name + u"'");
  }

  void BeginNew() override {
    current_.clear();
    current_idc_ = 0;
  }

  void StoreNew() override {
    std::vector<const FieldLayout*> fields = DataFields(layout_);
    Variant idc = Get(kIdcField);
    bool with_idc = layout_.idc_field && !std::holds_alternative<std::monostate>(idc);
    std::string columns = with_idc ? "IDC" : "";
    std::string marks = with_idc ? "?" : "";
    for (const FieldLayout* field : fields) {
      columns += (columns.empty() ? "" : ", ") + Column(field->name);
      marks += marks.empty() ? "?" : ", ?";
    }
    Statement insert =
        db_->Prepare("INSERT INTO " + layout_.table + " (" + columns + ") VALUES (" + marks + ")");
    int index = 1;
    if (with_idc) BindValue(insert, index++, FieldKind::kInteger, idc);
    for (const FieldLayout* field : fields) {
      BindValue(insert, index++, field->kind, Get(field->name));
    }
    insert.Run();
    current_idc_ = db_->LastInsertRowId();
    if (layout_.idc_field) current_[std::u16string(kIdcField)] = static_cast<int32_t>(current_idc_);
  }

  void UpdateById(int32_t idc) override {
    std::string sql = "UPDATE " + layout_.table + " SET ";
    std::vector<const FieldLayout*> fields = DataFields(layout_);
    for (size_t i = 0; i < fields.size(); ++i) {
      sql += (i == 0 ? "" : ", ") + Column(fields[i]->name) + " = ?";
    }
    Statement update = db_->Prepare(sql + " WHERE IDC = ?");
    int index = 1;
    for (const FieldLayout* field : fields)
      BindValue(update, index++, field->kind, Get(field->name));
    update.Bind(index, static_cast<int64_t>(idc));
    update.Run();
    RequireChange(u"UpdateById", idc);
  }

  void DeleteById(int32_t idc) override {
    db_->Prepare("DELETE FROM " + layout_.table + " WHERE IDC = ?")
        .Bind(1, static_cast<int64_t>(idc))
        .Run();
    RequireChange(u"DeleteById", idc);
  }

  Variant Get(std::u16string_view name) const {
    auto it = current_.find(std::u16string(name));
    return it == current_.end() ? Variant{} : it->second;
  }
  void Set(const FieldLayout& field, const Variant& value) {
    current_[std::u16string(field.name)] = ToFieldKind(field.kind, value);
  }

 private:
  void RequireChange(std::u16string_view operation, int32_t idc) {
    if (db_->Changes() > 0) return;
    RaiseHostError(kErrInvalidCall, SourceOf(layout_),
                   std::u16string(operation) + u": the book " + std::u16string(layout_.name) +
                       u" has no record with IDC " + IntToText(idc));
  }

  std::shared_ptr<Database> db_;
  const BookLayout& layout_;
  std::vector<std::unique_ptr<SqliteBookField>> fields_;
  BookRecord current_;
  int64_t current_idc_ = 0;
};

Variant SqliteBookField::Value() { return book_.Get(layout_.name); }

void SqliteBookField::SetValue(const Variant& value) { book_.Set(layout_, value); }

}  // namespace

Variant ToFieldKind(FieldKind kind, const Variant& value) {
  if (std::holds_alternative<std::monostate>(value)) return value;
  switch (kind) {
    case FieldKind::kText:
      return VariantToText(value);
    case FieldKind::kAmount:
      return VariantToCurrency(value);
    case FieldKind::kDate:
      return VariantToDate(value);
    case FieldKind::kInteger:
      break;
  }
  return VariantToInt32(value);
}

std::vector<BookRecord> BookStore::List(const BookLayout& book) {
  std::vector<BookRecord> records;
  Statement list = db_->Prepare(SelectSql(book) + KeyOrder(book));
  int64_t idc = 0;
  while (list.Step()) records.push_back(ReadRecord(book, list, &idc));
  return records;
}

int64_t BookStore::Put(const BookLayout& book, const BookRecord& record) {
  for (const auto& [name, value] : record) {
    if (book.Field(name) == nullptr) {
      RaiseHostError(kErrInvalidCall, SourceOf(book),
                     u"the book " + std::u16string(book.name) + u" has no field '" + name + u"'");
    }
  }
  auto value_of = [&](std::u16string_view name) {
    auto it = record.find(std::u16string(name));
    return it == record.end() ? Variant{} : ToFieldKind(book.Field(name)->kind, it->second);
  };
  bool with_idc = book.idc_field && !std::holds_alternative<std::monostate>(value_of(kIdcField));
  std::vector<const FieldLayout*> fields = DataFields(book);
  std::string key_match;
  for (std::u16string_view key : book.keys) {
    key_match += (key_match.empty() ? " WHERE " : " AND ") + Column(key) + " = ?";
  }
  // Found by key: updated in place (a given IDC replaces the old one); else inserted.
  return db_->Savepoint([&] {
    Statement find = db_->Prepare("SELECT IDC FROM " + book.table + key_match);
    int index = 1;
    for (std::u16string_view key : book.keys) {
      BindValue(find, index++, book.Field(key)->kind, value_of(key));
    }
    std::optional<int64_t> existing;
    if (find.Step()) existing = find.Int64(0);
    std::string columns = with_idc ? "IDC" : "";
    std::string marks = with_idc ? "?" : "";
    std::string updates = with_idc ? "IDC = ?" : "";
    for (const FieldLayout* field : fields) {
      std::string column = Column(field->name);
      columns += (columns.empty() ? "" : ", ") + column;
      marks += marks.empty() ? "?" : ", ?";
      updates += (updates.empty() ? "" : ", ") + column + " = ?";
    }
    Statement write = db_->Prepare(
        existing ? "UPDATE " + book.table + " SET " + updates + " WHERE IDC = ?"
                 : "INSERT INTO " + book.table + " (" + columns + ") VALUES (" + marks + ")");
    index = 1;
    if (with_idc) BindValue(write, index++, FieldKind::kInteger, value_of(kIdcField));
    for (const FieldLayout* field : fields) {
      BindValue(write, index++, field->kind, value_of(field->name));
    }
    if (existing) write.Bind(index, *existing);
    write.Run();
    if (with_idc) return static_cast<int64_t>(VariantToInt32(value_of(kIdcField)));
    return existing ? *existing : db_->LastInsertRowId();
  });
}

std::shared_ptr<host::Book> SqliteBookFactory::OpenBook(const std::u16string& name,
                                                        std::shared_ptr<host::Session>) {
  const BookLayout* book = FindBook(name);
  if (book == nullptr) {
    RaiseHostError(kErrInvalidCall, u"DefaultHost.BookFactory",
                   u"the host has no reference book '" + name + u"'");
  }
  return std::make_shared<SqliteBook>(db_, *book);
}

}  // namespace norv::hostkit
