// The reference books of the default host: their names, fields and keys. Every
// book is one table; a record's identifier (IDC) is the table's row id, shown as
// a field only in "REFCurrencyRate", where the rate writer reads it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace norv::hostkit {

// How a field is stored: texts as text, amounts as the integer value x 10000,
// dates as the day serial, integers as integers.
enum class FieldKind { kText, kAmount, kDate, kInteger };

struct FieldLayout {
  std::u16string_view name;
  FieldKind kind;
};

struct BookLayout {
  std::u16string_view name;
  std::string table;
  std::vector<FieldLayout> fields;        // in record order
  std::vector<std::u16string_view> keys;  // in FindByKey order
  bool idc_field = false;                 // IDC is one of `fields`

  const FieldLayout* Field(std::u16string_view field_name) const;
};

inline constexpr std::u16string_view kIdcField = u"IDC";

const std::vector<BookLayout>& AllBooks();
// The book of that name (exact, case-sensitive), nullptr when the host has none.
const BookLayout* FindBook(std::u16string_view name);

// The CREATE TABLE statement of a book.
std::string CreateTableSql(const BookLayout& book);

}  // namespace norv::hostkit
