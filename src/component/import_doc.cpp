// ImportDoc: one statement line of the open statement file becomes one
// StatementDoc, until the file ends.
#include <string>
#include <string_view>

#include "component/cbankcl_vb.h"
#include "import/load_statement_dlg.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"

namespace norv {
namespace {

// Document numbers of a loan account's operations; their own number stands
// in the loan document field instead.
bool IsLoanOperation(std::u16string_view doc_number) {
  return doc_number == u"PAGR" || doc_number == u"PALU" || doc_number == u"DELS";
}

// The line read and its parse, kept from call to call so that a long import
// reuses their buffers.
struct ReadBuffers {
  std::u16string line;
  StatementLine parsed;
};

// The calling thread's buffers, reached through one call that is not inlined:
// a thread-local used directly in a shared library costs a look-up at every use.
[[gnu::noinline]] ReadBuffers& ThreadReadBuffers() {
  thread_local ReadBuffers buffers;
  return buffers;
}

}  // namespace

bool CBankCl_VB::IClientBank_ImportDoc(StatementDoc& Doc) {
  if (!m_oStatementDlg) RaiseRuntime(kErrObjectNotSet);
  CFile& file = m_oStatementDlg->ImpFile();

  ReadBuffers& buffers = ThreadReadBuffers();
  std::u16string& line = buffers.line;
  StatementLine& parsed = buffers.parsed;
  if (!file.ReadStr(line)) return false;

  const bool end_marker = line == kStatementEndMarker;
  ParseStatementLine(line, parsed, StatementLineUse::kDocument);

  const bool credit = parsed.CreditAmount > Currency();
  if (!end_marker && parsed.ClientAccount == m_StHead.Account) {
    if (parsed.TransNo == kBalanceTransNo) {
      Doc.DocKind = kDocBalance;
      Doc.Amount = parsed.DebitAmount;
    } else {
      Doc.DocKind = kDocOperation;
      Doc.Amount = credit ? parsed.CreditAmount : parsed.DebitAmount;
    }
  } else {
    Doc.DocKind = kDocNone;
    Doc.Amount = Currency();
  }

  // A date that is not one fails here, leaving the kind and the amount set.
  Doc.OpDate =
      parsed.OpDateText.empty() ? Date() : RegionalSettings::Current().ParseDate(parsed.OpDateText);
  Doc.IsDebit = !credit;
  // The texts change places with the record's: the record gets this line's
  // values and the parse keeps the record's old buffers for the next line
  // (every text it reads is stored anew on every line).
  if (parsed.CurrencyCode == u"LT") {
    Doc.CurrencyCode = u"LTL";
  } else {
    Doc.CurrencyCode.swap(parsed.CurrencyCode);
  }
  Doc.CurrencyKind = Doc.CurrencyCode == u"LTL" ? 1 : 2;
  Doc.ClientAccount.swap(parsed.ClientAccount);
  Doc.ClientIban.swap(parsed.ClientIban);
  Doc.CorrAccount.swap(parsed.CorrAccount);
  Doc.CorrIban.swap(parsed.CorrIban);
  Doc.CorrCode.swap(parsed.CorrCode);
  Doc.CorrBankName.swap(parsed.CorrBankName);
  Doc.DocNumber.swap(IsLoanOperation(parsed.DocNumber) ? parsed.LoanDocNumber : parsed.DocNumber);
  Doc.Comment.swap(parsed.Comment);
  return true;
}

}  // namespace norv
