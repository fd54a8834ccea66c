// The records of the program's JSON files and JSON Lines output: payment
// documents (read from DOCS.json), statement documents and their header (written
// by import), and the records of the host's reference books (both ways).
#pragma once

#include <string>
#include <vector>

#include "core/records.h"
#include "hostkit/book_specs.h"
#include "hostkit/sqlite_books.h"
#include "json_values.h"

namespace clientbank {

struct ExportDocument {
  int32_t doc_type = 0;
  norv::PaymentDoc doc;
};

// The documents of a DOCS.json array: objects whose keys are "DocType" and the
// PaymentDoc field names. A missing key is empty or 0; an unknown key (5) or a
// value of the wrong kind (13) raises an error naming the document (from 1) and
// the key.
std::vector<ExportDocument> ReadPaymentDocs(const Json& array);

Json HeaderJson(const norv::StHead& head);
// The 14 fields that ImportDoc writes, by name.
Json StatementDocJson(const norv::StatementDoc& doc);

Json BookRecordJson(const norv::hostkit::BookSpec& book, const norv::hostkit::BookRecord& record);
// A record of `book` from a JSON object; `index` (from 1) names it in errors.
// Key fields must be present and not empty.
norv::hostkit::BookRecord ReadBookRecord(const norv::hostkit::BookSpec& book, const Json& object,
                                         size_t index);

}  // namespace clientbank
