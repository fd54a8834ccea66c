// StatementLine: one parsed line of a bank statement (the kept fields, in file
// order). Dates stay text here. A parse stores the amounts and the texts that
// its reader uses (StatementLineUse); texts that no reader uses stay empty.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/currency.h"

namespace norv {

// A statement ends with a line holding exactly this word, compared as read
// (before the line converter).
inline constexpr std::u16string_view kStatementEndMarker = u"GALAS";

// A balance line of the account carries this word as its transaction number.
inline constexpr std::u16string_view kBalanceTransNo = u"BALANSAS";

// Who reads a parsed line. A parse checks every field but stores only the
// texts that its reader uses; the others keep whatever they held.
enum class StatementLineUse {
  kScan,      // ScanAccount: ClientAccount and OpDateText
  kDocument,  // ImportDoc: the texts that reach the StatementDoc, and TransNo
};

struct StatementLine {
  std::u16string ClientKifNo;        // 1
  std::u16string OpDateText;         // 2
  std::u16string ClientAccount;      // 3
  int16_t CurrencyNo = 0;            // 4
  std::u16string CurrencyCode;       // 5
  std::u16string DocNumber;          // 6
  std::u16string CorrBankCode;       // 7
  std::u16string CorrAccount;        // 8
  Currency DebitAmount;              // 9
  Currency DebitAmountEq;            // 10
  Currency CreditAmount;             // 11
  Currency CreditAmountEq;           // 12
  std::u16string TransNo;            // 13
  std::u16string OpLine;             // 14
  std::u16string OpType;             // 15
  std::u16string SettleDateText;     // 16
  std::u16string CorrBankName;       // 17
  std::u16string CorrAccountName;    // 18
  std::u16string Comment;            // 19
  std::u16string CorrCode;           // 20
  std::u16string TaxPaymentCode;     // 21
  std::u16string ClientPaymentCode;  // 22
  std::u16string LoanDocNumber;      // 23
  std::u16string ClientIban;         // 30
  std::u16string CorrIban;           // 32
};

}  // namespace norv
