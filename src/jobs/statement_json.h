// The JSON forms of an import's records, one object per line (JSON Lines), as
// the program prints them and any front end may copy them: the header
//   {"Account":"...","DateFrom":"YYYY-MM-DD","DateTo":"...","CreditSideDocs":false}
// and each document with the 14 fields ImportDoc writes, by name. Amounts are
// strings with four decimals and a point ("-12.3400"), dates "YYYY-MM-DD" or ""
// for the empty date, flags true/false. Written straight into a string, without
// a JSON tree, since an import prints a line per document.
#pragma once

#include <string>

#include "core/records.h"

namespace norv::jobs {

// Each appends one object and a '\n' to `out`.
void AppendHeaderJson(const StHead& head, std::string& out);
void AppendStatementDocJson(const StatementDoc& doc, std::string& out);

}  // namespace norv::jobs
