// Files as the bank writes them, for tests of whole runs: statement lines and
// rate lines in Windows-1257 with CR LF.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "runtime/codepage.h"
#include "runtime/text.h"

namespace norv::testing {

// Lines (UTF-8 here) as the bank writes them: Windows-1257, each ending in CR LF.
inline std::string BankFile(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += cp1257::Encode(Utf8ToU16(line)) + "\r\n";
  return bytes;
}

// A statement line of 32 tab-separated fields: the given ones (1-based) over
// defaults that parse (currency number 1, amounts 0,00 under lt-LT).
inline std::string StatementLine(std::vector<std::pair<int, std::string>> fields) {
  std::vector<std::string> all(32);
  all[3] = "1";
  for (int amount : {8, 9, 10, 11}) all[amount] = "0,00";
  for (auto& [number, value] : fields) all[number - 1] = value;
  std::string line;
  for (size_t i = 0; i < all.size(); ++i) line += (i ? "\t" : "") + all[i];
  return line;
}

// A rate file line: the code at 4-6, each rate right-aligned in its 17
// characters from position 39 on.
inline std::string RateLine(const std::string& code, const std::vector<std::string>& rates) {
  std::string line = "001" + code + std::string(32, ' ');
  for (const std::string& rate : rates)
    line += (line.size() > 38 ? " " : "") + std::string(17 - rate.size(), ' ') + rate;
  return line;
}

// A statement of the account 12345678901: an operation in LT (mapped to EUR)
// of 2024.01.05, then `middle`, a balance of 2024.01.03, a line of another
// account and the end line.
inline std::vector<std::string> SampleStatement(const std::vector<std::string>& middle = {}) {
  std::vector<std::string> lines{StatementLine({{2, "2024.01.05"},
                                                {3, "12345678901"},
                                                {5, "LT"},
                                                {6, "1001"},
                                                {11, "150,00"},
                                                {17, "AB SEB bankas"},
                                                {19, "Apmokėjimas"},
                                                {30, "LT121000011101001000"}})};
  lines.insert(lines.end(), middle.begin(), middle.end());
  lines.push_back(StatementLine({{2, "2024.01.03"}, {3, "12345678901"}, {5, "EUR"}, {9, "80,00"}}));
  lines.push_back(StatementLine({{2, "2024.01.09"}, {3, "99999999999"}, {5, "EUR"}}));
  lines.push_back("GALAS");
  return lines;
}

// A local and a foreign payment in the program's JSON form, and the DP and FP
// lines (Windows-1257) they become.
inline constexpr char kLocalPaymentJson[] =
    R"({"DocType": 1, "DocNumber": "000125", "DocDate": "2004-03-15",
  "PayerCode": "123456789", "PayerName": "Pavyzdys ir Ko", "PayerBankCode": "70440",
  "PayerAccount": "LT323456789012345678", "Amount": "1234.5", "CurrencyCode": "EUR",
  "PayeeName": "Tiekėjas", "PayeeBankCode": "73000", "PayeeAccount": "LT026543210987654321",
  "Purpose": "Saskaita Nr. 15"})";
inline constexpr char kForeignPaymentJson[] =
    R"({"DocType": 2, "DocNumber": "7", "DocDate": "2004-03-15",
  "PaymentType": 1, "CurrencyCode": "EUR", "Amount": 2500, "PayerAccount": "LT323456789012345678",
  "PayerBankCode": "70440", "PayeeBankSwift": "BANKDEFF", "PayeeBankName": "Beispiel Bank",
  "PayeeAccount": "DE44123456780000000000", "PayeeName": "Muster GmbH",
  "Purpose": "Invoice 2004-15", "ForeignBankCharges": 3})";
inline const std::string kLocalLine =
    "125,2004.03.15,123456789,\"Pavyzdys ir Ko\",70440,LT323456789012345678,1234.50,EUR,,"
    "Tiek\xEBjas,73000,LT026543210987654321,,,\"Saskaita Nr. 15\"";
inline const std::string kForeignLine =
    "7,2004.03.15,1,EUR,2500.00,LT323456789012345678,70440,,,,,,,BANKDEFF,,\"Beispiel Bank\",,,,"
    "DE44123456780000000000,\"Muster GmbH\",,,,\"Invoice 2004-15\",,,,3,,,,,";

}  // namespace norv::testing
