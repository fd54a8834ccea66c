// Fuzzes a whole statement import: the input is the statement file, opened
// through the statement dialog; BeginImportByAccount scans it for the account
// LT001 and ImportDoc then hands over every line. Either the run ends with an
// error that the file can cause (a field over its maximum, a number or date
// that is none, an overflow, a lone quote), or it reports exactly one record per
// line of the file, each of a known kind, and the header's dates in order.
#include <cstdint>
#include <string>
#include <string_view>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "core/records.h"
#include "fuzz_support.h"
#include "support/recording_host.h"

namespace {

constexpr char16_t kPath[] = u"\\fuzz\\statement.txt";

// Lines as the reader counts them: each ends at CR, CR LF or a lone LF; a last
// line without an end counts too.
size_t CountLines(std::string_view bytes) {
  size_t lines = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r') {
      ++lines;
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else if (bytes[i] == '\n') {
      ++lines;
    }
  }
  if (!bytes.empty() && bytes.back() != '\r' && bytes.back() != '\n') ++lines;
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace norv;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  fuzz::Files().Put(kPath, bytes);
  testing::ScopedRecordingHost host;
  {
    CBankCl_VB bank;
    StHead head;
    head.Account = u"LT001";
    try {
      bank.BeginImport(head);
      host->Driver().ExpectShow(u"LoadStatementDlg",
                                {hostkit::Type(u"edImpFile", kPath), hostkit::Click(u"btOk")});
      if (bank.BeginImportByAccount(head)) {
        fuzz::Require(!head.DateFrom.IsEmpty() && head.DateFrom <= head.DateTo,
                      "the header's dates are not in order");
        size_t records = 0;
        StatementDoc doc;
        while (bank.ImportDoc(doc)) {
          ++records;
          fuzz::Require(doc.DocKind >= kDocOperation && doc.DocKind <= kDocNone,
                        "a record of no kind");
          fuzz::Require(doc.CurrencyKind == 1 || doc.CurrencyKind == 2, "a currency of no kind");
          fuzz::Require(doc.DocKind != kDocNone || doc.Amount.IsZero(),
                        "a record not to import carries an amount");
        }
        fuzz::Require(records == CountLines(bytes), "not one record per line");
        fuzz::Require(!bank.ImportDoc(doc), "ImportDoc went on after the end");
      }
      bank.EndImport();
    } catch (const ComError& error) {
      fuzz::RequireErrorIn(error,
                           {kErrValueTooLong, kErrTypeMismatch, kErrOverflow, kErrInvalidCall});
    }
  }
  fuzz::Require(host->Errors().empty(), "an error was reported instead of raised");
  return 0;
}
