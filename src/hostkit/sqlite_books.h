// The reference books of the default host over its SQLite database.
//
// SqliteBookFactory opens books by name for the component (host::BookFactory);
// each book keeps one current record: FindByKey loads it, BeginNew empties it,
// Fields().Item(name) reads and sets its values, converted to the field's kind on
// the way in (13 or 6 when they do not convert). StoreNew inserts it, UpdateById
// and DeleteById change the record with that IDC (5 when there is none); each of
// the three commits at once. BookStore serves the program: whole-book listings and
// add-or-replace by key.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/book.h"
#include "hostkit/book_layouts.h"
#include "hostkit/database.h"
#include "runtime/variant.h"

namespace norv::hostkit {

// Field name to value; a field that is absent is empty.
using BookRecord = std::map<std::u16string, Variant>;

// `value` in the form a field of `kind` holds (empty stays empty).
Variant ToFieldKind(FieldKind kind, const Variant& value);

class BookStore {
 public:
  explicit BookStore(std::shared_ptr<Database> db) : db_(std::move(db)) {}

  // Every record of the book in key order; REFCurrencyRate records carry their IDC.
  std::vector<BookRecord> List(const BookLayout& book);
  // Adds the record, or replaces the record with the same key (fields it lacks
  // become empty). An "IDC" in a REFCurrencyRate record is kept as the record's
  // identifier; without one a new record gets the next free IDC. Returns the IDC.
  int64_t Put(const BookLayout& book, const BookRecord& record);

 private:
  std::shared_ptr<Database> db_;
};

class SqliteBookFactory : public host::BookFactory {
 public:
  explicit SqliteBookFactory(std::shared_ptr<Database> db) : db_(std::move(db)) {}
  // Raises 5 for a name that is not one of the host's books.
  std::shared_ptr<host::Book> OpenBook(const std::u16string& name,
                                       std::shared_ptr<host::Session> session) override;

 private:
  std::shared_ptr<Database> db_;
};

}  // namespace norv::hostkit
