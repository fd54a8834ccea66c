// The three records exchanged with the host, field for field in the host's
// record order, unnamed fields included (their meaning is the host's).
#pragma once

#include <cstdint>
#include <string>

#include "../runtime/currency.h"
#include "../runtime/date.h"
#include "../runtime/export.h"

namespace norv {

// DocType 1 is a local payment (DP file); any other value a foreign one (FP file).
inline constexpr int32_t kLocalPayment = 1;

// One payment order handed to ExportDoc; the component only reads it.
struct NORV_EXPORT PaymentDoc {
  std::u16string PayerCode;         // 1
  std::u16string PayerName;         // 2
  std::u16string PayerBankCode;     // 3
  std::u16string PayerAccount;      // 4
  std::u16string Unnamed5;          // 5
  std::u16string PayeeBankCode;     // 6
  std::u16string PayeeBankSwift;    // 7
  std::u16string PayeeBankName;     // 8
  std::u16string PayeeBankAddress;  // 9
  std::u16string PayeeAccount;      // 10
  std::u16string PayeeCode;         // 11
  std::u16string Unnamed12;         // 12
  std::u16string PayeeName;         // 13
  std::u16string PayeeAddress;      // 14
  Currency Amount;                  // 15
  std::u16string CurrencyCode;      // 16
  int64_t Unnamed17 = 0;            // 17: 8 bytes holding no text
  std::u16string DocNumber;         // 18
  Date DocDate;                     // 19
  std::u16string PurposeCode;       // 20
  int32_t PaymentType = 0;          // 21
  std::u16string Purpose;           // 22
  std::u16string Unnamed23;         // 23
  std::u16string AltPurpose;        // 24
  std::u16string ChargesAccount;    // 25
  std::u16string ChargesCurrency;   // 26
  int32_t ForeignBankCharges = 0;   // 27
  std::u16string Unnamed28;         // 28
  std::u16string Unnamed29;         // 29
  std::u16string Unnamed30;         // 30
  std::u16string Unnamed31;         // 31
};

// DocKind values of a StatementDoc.
inline constexpr int32_t kDocOperation = 1;
inline constexpr int32_t kDocBalance = 2;
inline constexpr int32_t kDocNone = 3;

// One statement operation, filled by ImportDoc (all fields but the 5th).
struct NORV_EXPORT StatementDoc {
  int32_t DocKind = 0;           // 1
  std::u16string ClientAccount;  // 2
  std::u16string CorrAccount;    // 3
  std::u16string CorrCode;       // 4
  std::u16string Unnamed5;       // 5: left as the host set it
  std::u16string CorrBankName;   // 6
  Currency Amount;               // 7
  std::u16string CurrencyCode;   // 8
  bool IsDebit = false;          // 9 (a flag: true is -1 on the wire)
  int32_t CurrencyKind = 0;      // 10
  std::u16string DocNumber;      // 11
  Date OpDate;                   // 12
  std::u16string Comment;        // 13
  std::u16string ClientIban;     // 14
  std::u16string CorrIban;       // 15
};

// The statement header read and filled by BeginImportByAccount.
struct NORV_EXPORT StHead {
  std::u16string Unnamed1;      // 1
  std::u16string Account;       // 2: in
  Date DateFrom;                // 3: out
  Date DateTo;                  // 4: out
  bool CreditSideDocs = false;  // 5: out
};

}  // namespace norv
