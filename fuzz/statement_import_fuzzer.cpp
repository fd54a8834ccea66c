// Fuzzes a whole statement import: the input is the statement file, opened
// through the statement dialog; BeginImportByAccount scans it for the account
// LT001 and ImportDoc then hands over every line. Either the run ends with an
// error that the file can cause (a field over its maximum, a number or date
// that is none, an overflow, a lone quote), or it reports exactly one record per
// line of the file, each of a known kind, and the header's dates in order.
#include <string>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "core/records.h"
#include "fuzz_support.h"

void FuzzOne(norv::fuzz::FuzzInput& in) {
  using namespace norv;
  const std::string bytes = in.Rest();
  const std::u16string path = fuzz::InputFile("statement.txt", bytes);
  // Lines as the reader counts them: each ends at CR, CR LF or a lone LF; a
  // last line without an end counts too.
  size_t lines = !bytes.empty() && bytes.back() != '\r' && bytes.back() != '\n';
  for (size_t i = 0; i < bytes.size(); ++i) {
    lines += bytes[i] == '\n' || bytes[i] == '\r';
    if (bytes.compare(i, 2, "\r\n") == 0) ++i;
  }
  testing::ScopedRecordingHost host;
  fuzz::ErrorOf(
      [&] {
        CBankCl_VB bank;
        StHead head;
        head.Account = u"LT001";
        bank.BeginImport(head);
        host->Driver().ExpectShow(u"LoadStatementDlg",
                                  {hostkit::Type(u"edImpFile", path), hostkit::Click(u"btOk")});
        if (bank.BeginImportByAccount(head)) {
          fuzz::Require(!head.DateFrom.IsEmpty() && head.DateFrom <= head.DateTo,
                        "the header's dates are not in order");
          size_t records = 0;
          StatementDoc doc;
          for (; bank.ImportDoc(doc); ++records) {
            fuzz::Require(doc.DocKind >= kDocOperation && doc.DocKind <= kDocNone,
                          "a record of no kind");
            fuzz::Require(doc.CurrencyKind == 1 || doc.CurrencyKind == 2, "a currency of no kind");
            fuzz::Require(doc.DocKind != kDocNone || doc.Amount.IsZero(),
                          "a record not to import carries an amount");
          }
          fuzz::Require(records == lines, "not one record per line");
          fuzz::Require(!bank.ImportDoc(doc), "ImportDoc went on after the end");
        }
        bank.EndImport();
      },
      {kErrValueTooLong, kErrTypeMismatch, kErrOverflow, kErrInvalidCall});
  fuzz::Require(host->Errors().empty(), "an error was reported instead of raised");
}
