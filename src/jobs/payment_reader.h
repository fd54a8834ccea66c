// Reading payment documents by streaming: a JSON array of objects, or JSON
// Lines (one object per line), told apart by the first character that is not
// blank ('[' is an array). Each object has the key "DocType" (1: local, any
// other: foreign) and the PaymentDoc field names; a missing key leaves its field
// empty or 0. Amounts are strings "-123.4567" (up to four decimals) or JSON
// numbers; dates are "YYYY-MM-DD" or "" (the empty date).
//
// The file is read through a fixed buffer and cut into documents by a scan that
// follows strings and nesting; each document is parsed by simdjson from a
// buffer of its own, so memory grows with the largest document, not with the
// file, and each is handed over as soon as it is read. The first problem raises a ComError (source
// "jobs") and stops the read: 53 for a missing file, 13 for a value of the wrong kind (an object or
// array where a value belongs, too), 6 for a number out of range of its field, 5 for anything else
// (malformed JSON, an unknown key, invalid UTF-8, a truncated file). Its description names the
// file, the document by its 0-based index and, once its "DocNumber" was read, that number, and the
// key being read, and for malformed JSON the 1-based byte where it failed:
//   payments.json: document 3 (DocNumber "A-17"), key "Amount": ...
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/records.h"

namespace norv::jobs {

struct PaymentEntry {
  int32_t doc_type = 0;
  PaymentDoc doc;
};

struct PaymentCounts {
  int64_t local = 0;
  int64_t foreign = 0;
};

// Hands each document of `path` to `take` in file order, with its 0-based
// index; an error `take` raises stops the read and passes to the caller.
// Returns the counts of what was read.
PaymentCounts ReadPayments(const std::string& path,
                           const std::function<void(int64_t index, PaymentEntry& entry)>& take);

// Reads the documents of `in` (the bytes of a payments file, `name` naming it
// in errors) the same way; for tests and fuzzing without files.
PaymentCounts ReadPaymentsFromMemory(std::string_view in, const std::string& name,
                                     const std::function<void(int64_t, PaymentEntry&)>& take);

}  // namespace norv::jobs
