// A temporary folder with a database for runs of the program, and the files
// the jobs read, written as the bank writes them.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "program_runner.h"
#include "runtime/codepage.h"
#include "runtime/text.h"
#include "support/recording_host.h"

namespace norv::testing {

using Json = nlohmann::json;

class ClientBankTest : public ::testing::Test {
 protected:
  // The program on the fixture's database.
  ProgramRun Cb(std::vector<std::string> args, const RunOptions& options = {}) {
    args.insert(args.begin(), {"--db", db});
    return RunProgram(args, options);
  }
  // Runs a command that must succeed and returns its standard output.
  std::string Ok(const std::vector<std::string>& args) {
    ProgramRun run = Cb(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
  }
  std::vector<Json> JsonLines(const std::string& text) {
    std::vector<Json> lines;
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      lines.push_back(Json::parse(text.substr(start, end - start)));
      start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
  }
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    folder.WriteBytes(name, bytes);
    return folder.File(name);
  }

  TempFolder folder;
  std::string db = folder.File("cb.db");
};

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
