// Book: a reference book of the host (records with named fields), opened by
// name through the BookFactory. FindByKey makes the found record current;
// BeginNew starts a fresh current record; StoreNew, UpdateById and DeleteById
// commit.
//
// Every member may raise the host's own errors (ComError); the component passes
// them on to its caller unchanged, so a host should give them a number and a
// description a user can act on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../runtime/export.h"
#include "../runtime/variant.h"

namespace norv::host {

class Session;

class NORV_EXPORT BookField {
 public:
  virtual ~BookField() = default;
  // The field's value in the current record.
  virtual Variant Value() = 0;
  // Sets the field in the current record; stored by the next StoreNew or
  // UpdateById. Raises for a value the field cannot hold.
  virtual void SetValue(const Variant& value) = 0;
};

class NORV_EXPORT BookFields {
 public:
  virtual ~BookFields() = default;
  // The field of the current record; an unknown name raises an error.
  virtual BookField& Item(const std::u16string& name) = 0;
};

class NORV_EXPORT Book {
 public:
  virtual ~Book() = default;
  // Looks a record up by the book's key fields, in the book's key order. True:
  // the record found is current. False: none matches; what is current then is
  // the host's affair (the component reads nothing after a false).
  virtual bool FindByKey(const std::vector<Variant>& keys) = 0;
  // The folder text of the current entry (the "PathKey" book).
  virtual std::u16string EntryPath() = 0;
  // The fields of the current record.
  virtual BookFields& Fields() = 0;
  // Starts a new, empty current record; nothing is stored until StoreNew.
  virtual void BeginNew() = 0;
  // Stores the record begun by BeginNew and commits. REQUIRES: BeginNew.
  virtual void StoreNew() = 0;
  // Writes the current record's fields to the stored record `idc` (its "IDC"
  // field) and commits. Raises when there is no such record.
  virtual void UpdateById(int32_t idc) = 0;
  // Deletes the stored record `idc` and commits.
  virtual void DeleteById(int32_t idc) = 0;
};

class NORV_EXPORT BookFactory {
 public:
  virtual ~BookFactory() = default;
  // Raises an error for a book the host does not have.
  virtual std::shared_ptr<Book> OpenBook(const std::u16string& name,
                                         std::shared_ptr<Session> session) = 0;
};

}  // namespace norv::host
