// StatementStore: the host's documents made from imported statements, one row
// per StatementDoc with the statement file and account it came from, and one
// row per import with the account's date range in its statement.
//
// Each stored document keeps a fingerprint of what makes it the same payment:
// account, date, direction, amount, document number, counterparty account and
// purpose. The fingerprint is a hash that finds candidates through an index;
// the fields themselves decide, so two documents that only share a hash are
// never taken for one.
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

// One earlier import of an account: its file and the statement's date range.
struct StatementImport {
  int64_t id = 0;
  Date imported_at;
  std::u16string file;
  std::u16string account;
  Date date_from;
  Date date_to;
};

// The hash of the fields that make two documents the same payment.
int64_t StatementFingerprint(const StatementDoc& doc);

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

  // Gives the documents stored before fingerprints were kept their fingerprint.
  void FillMissingFingerprints();
  // The id of the last document stored (0: none).
  int64_t LastId();
  // How many of the documents up to `last_id` are the same payment as `doc`,
  // and the id of the first of them (0 when none).
  struct Match {
    int64_t count = 0;
    int64_t first_id = 0;
  };
  Match SamePayment(const StatementDoc& doc, int64_t last_id);

  // Records an import of `account` covering [from, to].
  void AddImport(const std::u16string& file, const std::u16string& account, Date from, Date to);
  // The earlier imports of `account` whose date range overlaps [from, to].
  std::vector<StatementImport> OverlappingImports(const std::u16string& account, Date from,
                                                  Date to);

 private:
  std::shared_ptr<Database> db_;
};

// Decides, document by document, which documents of one import are stored
// already. A statement may hold the same payment twice; so the n-th document
// of the import that equals stored ones counts as already imported only while
// the store held at least n such documents before the import began. What was
// matched is counted in a temporary table of the connection, so memory stays
// flat however long the statement is.
class ImportMatcher {
 public:
  // Fills missing fingerprints and notes where the import begins.
  explicit ImportMatcher(std::shared_ptr<Database> db);
  bool AlreadyImported(const StatementDoc& doc);

 private:
  std::shared_ptr<Database> db_;
  StatementStore store_;
  int64_t last_id_;
};

}  // namespace norv::hostkit
