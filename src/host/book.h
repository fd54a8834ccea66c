// Book: a reference book of the host (records with named fields), opened by
// name through the BookFactory. FindByKey makes the found record current;
// BeginNew starts a fresh current record; StoreNew, UpdateById and DeleteById
// commit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/variant.h"

namespace norv::host {

class Session;

class BookField {
 public:
  virtual ~BookField() = default;
  virtual Variant Value() = 0;
  virtual void SetValue(const Variant& value) = 0;
};

class BookFields {
 public:
  virtual ~BookFields() = default;
  // The field of the current record; an unknown name raises an error.
  virtual BookField& Item(const std::u16string& name) = 0;
};

class Book {
 public:
  virtual ~Book() = default;
  virtual bool FindByKey(const std::vector<Variant>& keys) = 0;
  // The folder text of the current entry (the "PathKey" book).
  virtual std::u16string EntryPath() = 0;
  virtual BookFields& Fields() = 0;
  virtual void BeginNew() = 0;
  virtual void StoreNew() = 0;
  virtual void UpdateById(int32_t idc) = 0;
  virtual void DeleteById(int32_t idc) = 0;
};

class BookFactory {
 public:
  virtual ~BookFactory() = default;
  // Raises an error for a book the host does not have.
  virtual std::shared_ptr<Book> OpenBook(const std::u16string& name,
                                         std::shared_ptr<Session> session) = 0;
};

}  // namespace norv::host
