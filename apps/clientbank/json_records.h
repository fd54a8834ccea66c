// The records of the host's reference books as JSON, both ways (books list,
// books add). The job layer's records are jobs/payment_reader.h and
// jobs/statement_json.h.
#pragma once

#include <string>

#include "hostkit/book_layouts.h"
#include "hostkit/sqlite_books.h"
#include "json_values.h"

namespace clientbank {

Json BookRecordJson(const norv::hostkit::BookLayout& book, const norv::hostkit::BookRecord& record);
// A record of `book` from a JSON object; `index` (from 1) names it in errors.
// Key fields must be present and not empty.
norv::hostkit::BookRecord ReadBookRecord(const norv::hostkit::BookLayout& book, const Json& object,
                                         size_t index);

}  // namespace clientbank
