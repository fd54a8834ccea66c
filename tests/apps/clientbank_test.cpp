// The program clientbank run as a user runs it, case by case from
// tests/data/cli_runs: its options to the jobs' requests, its output and exit
// status, the files it leaves, its database commands and the registry.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <sqlite3.h>

#include "hostkit/database.h"
#include "runtime/text.h"
#include "support/data_files.h"
#include "support/recording_host.h"

namespace norv::testing {
namespace {

using Json = nlohmann::json;

struct ProgramRun {
  int status = -1;
  std::string out, err;
};

// Runs bin/clientbank with `args` in `cwd` (empty: here), as the case says: its
// standard output to "stdout", without the variables "unset_env", with TMPDIR
// the folder ("tmpdir"), as the unprivileged user nobody ("as_nobody").
ProgramRun RunProgram(std::vector<std::string> args, const std::string& cwd, const Json& c) {
  TempFolder streams;
  args.insert(args.begin(), std::string(std::getenv("NORV_BINARY_DIR")) + "/bin/clientbank");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string out_path = c.value("stdout", streams.File("out"));
  if (fork() == 0) {
    dup2(open(out_path.c_str(), O_WRONLY | O_CREAT, 0600), 1);
    dup2(open(streams.File("err").c_str(), O_WRONLY | O_CREAT, 0600), 2);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
    for (const std::string name : c.value("unset_env", Json::array())) unsetenv(name.c_str());
    if (c.value("tmpdir", false)) setenv("TMPDIR", cwd.c_str(), 1);
    const bool nobody = c.value("as_nobody", false) && geteuid() == 0;  // others: as themselves
    if (nobody && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  wait(&status);
  ProgramRun run{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), "", ""};
  if (streams.Exists("out")) run.out = streams.ReadBytes("out");
  run.err = streams.ReadBytes("err");
  return run;
}

// The case's `key`, nothing when it has none.
const Json& Entry(const Json& c, const char* key) {
  static const Json none = Json::object();
  return c.contains(key) ? c[key] : none;
}

// Each character U+0000..U+00FF stands for one byte; [[text, times], ...] repeats.
std::string Bytes(const Json& text) {
  std::string out;
  for (const Json& part : text.is_array() ? text : Json::array()) {
    for (int i = 0; i < part[1]; ++i) out += Bytes(part[0]);
  }
  if (text.is_array()) return out;
  for (char16_t ch : Utf8ToU16(text.get<std::string>())) out += static_cast<char>(ch);
  return out;
}

// tests/data/cli_runs/cases.jsonl: one run each in a fresh folder, after the
// commands of "setup", with the files it leaves, the books afterwards and the
// runs that follow it ("then", each checked as the run is).
TEST(ClientBankRunTest, RunsFromTheCatalogue) {
  const std::string library = std::filesystem::canonical(
      std::string(std::getenv("NORV_BINARY_DIR")) + "/libNorv_RazizeRuveRO_DOS.so");
  Dl_info sqlite{};  // a library without the component's entry points
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&sqlite3_libversion), &sqlite), 0);
  std::ifstream lines(DataPath("cli_runs", "cases.jsonl"));
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    const Json c = Json::parse(line);
    SCOPED_TRACE(c["name"].get<std::string>());
    TempFolder dir;
    const std::string db = dir.File("cb.db");
    auto fill = [&](std::string text) {
      for (auto [mark, value] : {std::pair<std::string, std::string>{"{input}", dir.File("in")},
                                 {"{missing}", dir.File("nera.json")},
                                 {"{folder}", dir.path()},
                                 {"{library}", library},
                                 {"{sqlite}", sqlite.dli_fname},
                                 {"{db}", db}}) {
        for (size_t at; (at = text.find(mark)) != std::string::npos;)
          text.replace(at, mark.size(), value);
      }
      return text;
    };
    auto run = [&](const Json& r) {
      std::vector<std::string> all{"--db", db};
      for (const Json& arg : r["args"]) all.push_back(fill(arg));
      return RunProgram(all, r.value("in_folder", false) ? dir.path() : "", r);
    };
    // Each stream whole ("out", "err"), its start ("_start") or parts ("_has").
    auto check = [&](const Json& r, const ProgramRun& done) {
      EXPECT_EQ(done.status, r["status"]) << done.err;
      for (const auto& [name, text] :
           {std::pair<std::string, std::string>{"out", done.out}, {"err", done.err}}) {
        if (r.contains(name)) {
          EXPECT_EQ(text, fill(r[name]));
        }
        if (r.contains(name + "_start")) {
          EXPECT_EQ(text.rfind(fill(r[name + "_start"]), 0), 0u) << text;
        }
        Json parts = r.value(name + "_has", Json::array());
        if (!parts.is_array()) parts = Json::array({parts});
        for (const Json& part : parts) {
          EXPECT_NE(text.find(fill(part)), std::string::npos) << text;
        }
      }
      if (!r.contains("out") && !r.contains("out_start") && !r.contains("out_has")) {
        EXPECT_EQ(done.out, "");
      }
      if (r.value("one_line", false)) {
        EXPECT_EQ(done.err.find('\n'), done.err.size() - 1);
      }
    };
    if (c.contains("input")) dir.WriteBytes("in", c["input"]);
    for (const auto& [name, text] : Entry(c, "files").items()) {
      std::filesystem::create_directories(std::filesystem::path(dir.File(name)).parent_path());
      dir.WriteBytes(name, Bytes(text));
    }
    for (const auto& [name, target] : Entry(c, "link").items()) {
      EXPECT_EQ(symlink(fill(target).c_str(), dir.File(name).c_str()), 0) << name;
    }
    for (const Json& setup : Entry(c, "setup")) {
      EXPECT_EQ(run({{"args", setup}}).status, 0);
    }
    for (const auto& [name, mode] : Entry(c, "chmod").items()) {
      EXPECT_EQ(chmod(dir.File(name).c_str(), std::stoul(mode.get<std::string>(), nullptr, 8)), 0);
    }
    // "sql": statements run on the database file directly, as another program may.
    for (const Json& sql : c.value("sql", Json::array())) {
      sqlite3* handle = nullptr;
      EXPECT_EQ(sqlite3_open(db.c_str(), &handle), SQLITE_OK);
      EXPECT_EQ(sqlite3_exec(handle, fill(sql).c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
          << sql;
      sqlite3_close(handle);
    }
    // "lock": another program holds the database's write lock during the run.
    std::shared_ptr<hostkit::Database> holder;
    if (c.value("lock", false)) {
      holder = hostkit::Database::Open(db);
      holder->Execute("BEGIN IMMEDIATE");
    }
    check(c, run(c));
    holder.reset();
    for (const auto& [name, text] : Entry(c, "after").items()) {
      if (text.is_null()) {
        EXPECT_FALSE(dir.Exists(name)) << name;
      } else {
        EXPECT_EQ(dir.ReadBytes(name), Bytes(text)) << name;
      }
    }
    for (const auto& [book, records] : Entry(c, "books").items()) {
      EXPECT_EQ(run({{"args", {"books", "list", book}}}).out, fill(records)) << book;
    }
    for (const Json& next : c.value("then", Json::array())) check(next, run(next));
  }
  EXPECT_GT(count, 30);
}

}  // namespace
}  // namespace norv::testing
