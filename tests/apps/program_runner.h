// Runs the real program clientbank (from NORV_BINARY_DIR) as a child process
// and collects what it printed and its exit status.
#pragma once

#include <string>
#include <vector>

namespace norv::testing {

struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};

struct RunOptions {
  std::string cwd;            // empty: the test's own
  std::string out_path = "";  // not empty: standard output goes to this file (/dev/full)
  std::vector<std::string> unset_env = {};  // variables the program runs without
};

std::string ProgramPath();
std::string BuiltLibraryPath();
ProgramRun RunProgram(const std::vector<std::string>& args, const RunOptions& options = {});

}  // namespace norv::testing
