#include "program_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace norv::testing {

namespace {

std::string BinaryDir() {
  const char* dir = std::getenv("NORV_BINARY_DIR");
  return dir != nullptr ? dir : ".";
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::string ProgramPath() { return BinaryDir() + "/bin/clientbank"; }
std::string BuiltLibraryPath() { return BinaryDir() + "/libNorv_RazizeRuveRO_DOS.so"; }

ProgramRun RunProgram(const std::vector<std::string>& args, const RunOptions& options) {
  char out_name[] = "/tmp/clientbank_out_XXXXXX";
  char err_name[] = "/tmp/clientbank_err_XXXXXX";
  int out_fd = mkstemp(out_name);
  int err_fd = mkstemp(err_name);
  std::vector<std::string> argv_text{ProgramPath()};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argv_text) argv.push_back(arg.data());
  argv.push_back(nullptr);

  pid_t child = fork();
  if (child == 0) {
    if (!options.out_path.empty()) {
      out_fd = open(options.out_path.c_str(), O_WRONLY);
      if (out_fd < 0) _exit(127);
    }
    dup2(out_fd, 1);
    dup2(err_fd, 2);
    if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(127);
    for (const std::string& name : options.unset_env) unsetenv(name.c_str());
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  close(out_fd);
  close(err_fd);
  ProgramRun run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = Slurp(out_name);
  run.err = Slurp(err_name);
  unlink(out_name);
  unlink(err_name);
  return run;
}

}  // namespace norv::testing
