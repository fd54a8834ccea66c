#include "hostkit/book_layouts.h"

#include "runtime/text.h"

namespace norv::hostkit {

const FieldLayout* BookLayout::Field(std::u16string_view field_name) const {
  for (const FieldLayout& field : fields) {
    if (field.name == field_name) return &field;
  }
  return nullptr;
}

const std::vector<BookLayout>& AllBooks() {
  using K = FieldKind;
  static const std::vector<BookLayout> books = {
      {u"PathKey", "book_PathKey", {{u"Key", K::kText}, {u"EntryPath", K::kText}}, {u"Key"}},
      {u"REFCurrency",
       "book_REFCurrency",
       {{u"CurrencyCode", K::kText}, {u"Name", K::kText}},
       {u"CurrencyCode"}},
      {u"REFCurrencyRateType",
       "book_REFCurrencyRateType",
       {{u"RateTypeCode", K::kText},
        {u"CurrencyCode", K::kText},
        {u"Amount", K::kAmount},
        {u"IsReverse", K::kInteger}},
       {u"RateTypeCode", u"CurrencyCode"}},
      {u"REFCurrencyRate",
       "book_REFCurrencyRate",
       {{u"IDC", K::kInteger},
        {u"CurrencyCode", K::kText},
        {u"RateTypeCode", K::kText},
        {u"DateRate", K::kDate},
        {u"Rate", K::kAmount}},
       {u"CurrencyCode", u"RateTypeCode", u"DateRate"},
       true},
      {u"REFRateType", "book_REFRateType", {{u"Code", K::kText}, {u"Name", K::kText}}, {u"Code"}},
  };
  return books;
}

const BookLayout* FindBook(std::u16string_view name) {
  for (const BookLayout& book : AllBooks()) {
    if (book.name == name) return &book;
  }
  return nullptr;
}

std::string CreateTableSql(const BookLayout& book) {
  // AUTOINCREMENT keeps a deleted rate's IDC from being handed out again.
  std::string sql = "CREATE TABLE " + book.table + " (IDC INTEGER PRIMARY KEY AUTOINCREMENT";
  for (const FieldLayout& field : book.fields) {
    if (field.name == kIdcField) continue;
    sql += ", " + U16ToUtf8(field.name);
    switch (field.kind) {
      case FieldKind::kText:
        sql += " TEXT";
        break;
      case FieldKind::kAmount:
      case FieldKind::kInteger:
        sql += " INTEGER";
        break;
      case FieldKind::kDate:
        sql += " REAL";
        break;
    }
    for (std::u16string_view key : book.keys) {
      if (key == field.name) sql += " NOT NULL";
    }
  }
  sql += ", UNIQUE (";
  for (size_t i = 0; i < book.keys.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += U16ToUtf8(book.keys[i]);
  }
  sql += "))";
  return sql;
}

}  // namespace norv::hostkit
