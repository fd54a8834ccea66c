// Bank files for the on-screen tests, as the bank writes them: Windows-1257,
// lines ended by CR LF.
#pragma once

#include <string>
#include <vector>

#include "runtime/codepage.h"

namespace norv::qttest {

// A rate file line: code at 4-6, then each rate right-aligned in its 17
// characters from 39 on.
inline std::string RateLine(const std::string& code, const std::vector<std::string>& rates) {
  std::string line = "001" + code + std::string(32, ' ');
  for (const std::string& rate : rates) {
    if (line.size() > 38) line += ' ';
    line += std::string(17 - rate.size(), ' ') + rate;
  }
  return line;
}

// Two currencies with all six columns, the rate date 2006.03.31 and the end line.
inline std::string SampleRateFile() {
  return RateLine("USD", {"3.4528", "3.40", "3.50", "3.41", "3.49", "3.30"}) + "\r\n" +
         RateLine("EUR", {"3.4528", "3.44", "3.46", "3.445", "3.455", "3.40"}) +
         "\r\n2006.03.31 kursai\r\nGALAS\r\n";
}

// A statement operation line of 32 tab-separated fields: a credit of `amount`
// on 2024.01.15 for `account`.
inline std::u16string StatementLine(const std::u16string& account, const std::u16string& number,
                                    const std::u16string& amount, const std::u16string& purpose) {
  // clang-format off
  const std::vector<std::u16string> fields = {
      u"00042", u"2024.01.15", account, u"1", u"EUR", number, u"73000", u"LT601010012345678901",
      u"0", u"0", amount, amount, u"T-100", u"1", u"MK", u"2024.01.15", u"AB bankas",
      u"\"UAB \"\"Žiedas\"\"\"", purpose, u"123456789", u"", u"", u"", u"Pavedimas",
      u"111111111", u"73000", u"UAB Klientas", u"Vilnius", u"EUR", u"LT017300010000000001",
      u"HABALT22", u"LT601010012345678902"};
  // clang-format on
  std::u16string line;
  for (const std::u16string& field : fields) {
    if (!line.empty()) line += u'\t';
    line += field;
  }
  return line;
}

inline std::string StatementFile(const std::vector<std::u16string>& lines) {
  std::string bytes;
  for (const std::u16string& line : lines) bytes += cp1257::Encode(line) + "\r\n";
  return bytes + "GALAS\r\n";
}

}  // namespace norv::qttest
