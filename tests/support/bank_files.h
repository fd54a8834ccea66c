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
  for (const std::string& rate : rates) {
    if (line.size() > 38) line += ' ';
    line += std::string(17 - rate.size(), ' ') + rate;
  }
  return line;
}

}  // namespace norv::testing
