// StatementStore: the host's documents made from imported statements, one row
// per StatementDoc with the statement file and account it came from.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/records.h"
#include "hostkit/database.h"
#include "runtime/date.h"

namespace norv::hostkit {

struct StoredStatementDoc {
  int64_t id = 0;
  Date imported_at;
  std::u16string file;
  std::u16string account;
  StatementDoc doc;
};

class StatementStore {
 public:
  // Stores the documents of one import: one prepared insert for all of them,
  // with the file, the account and the time of the import bound once. Meant to
  // run inside one transaction of the database.
  class Writer {
   public:
    Writer(Database& db, const std::u16string& file, const std::u16string& account);
    void Add(const StatementDoc& doc);

   private:
    Statement insert_;
  };

  explicit StatementStore(std::shared_ptr<Database> db) : db_(std::move(db)) {}
  // Stores one document; returns its id.
  int64_t Add(const std::u16string& file, const std::u16string& account, const StatementDoc& doc);
  // Every stored document in the order stored.
  std::vector<StoredStatementDoc> List();
  // Up to `limit` documents stored after the one with id `after_id` (0: from
  // the first), in the order stored. Paging by id rather than by offset keeps
  // each page as cheap as the first however deep a reader has gone.
  std::vector<StoredStatementDoc> Page(int64_t after_id, int limit);
  // How many documents are stored.
  int64_t Count();

 private:
  std::shared_ptr<Database> db_;
};

}  // namespace norv::hostkit
