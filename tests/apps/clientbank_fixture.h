// A temporary folder with a database for runs of the program, and the files
// the jobs read, written as the bank writes them.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "program_runner.h"
#include "runtime/text.h"
#include "support/bank_files.h"
#include "support/recording_host.h"

namespace norv::testing {

using Json = nlohmann::json;

class ClientBankTest : public ::testing::Test {
 protected:
  ClientBankTest() { chmod(folder.path().c_str(), 0777); }

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

}  // namespace norv::testing
