// The program clientbank run as a user runs it: its options to the jobs'
// requests, its output and exit status, its database commands and the
// registry. Most runs are cases in tests/data/cli_runs; the jobs themselves are
// tests/jobs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "hostkit/database.h"
#include "hostkit/statement_store.h"
#include "program_runner.h"
#include "runtime/com_error.h"
#include "runtime/text.h"
#include "support/bank_files.h"
#include "support/data_files.h"
#include "support/recording_host.h"

namespace norv::testing {
namespace {

using Json = nlohmann::json;

// The case's `key`, nothing when it has none.
const Json& Part(const Json& c, const char* key) {
  static const Json none = Json::object();
  return c.contains(key) ? c[key] : none;
}

// tests/data/cli_runs/cases.jsonl: one run each in a fresh folder, after the
// commands of "setup", with the files it leaves and the books afterwards.
TEST(ClientBankRunTest, RunsFromTheCatalogue) {
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
                                 {"{db}", db}}) {
        for (size_t at; (at = text.find(mark)) != std::string::npos;)
          text.replace(at, mark.size(), value);
      }
      return text;
    };
    auto bytes = [](const Json& text) {  // each character U+0000..U+00FF stands for one byte
      std::string out;
      for (char16_t ch : Utf8ToU16(text.get<std::string>())) out += static_cast<char>(ch);
      return out;
    };
    auto run = [&](const Json& args, const RunOptions& options) {
      std::vector<std::string> all{"--db", db};
      for (const Json& arg : args) all.push_back(fill(arg));
      return RunProgram(all, options);
    };
    if (c.contains("input")) dir.WriteBytes("in", c["input"]);
    for (const auto& [name, text] : Part(c, "files").items()) {
      dir.WriteBytes(name, bytes(text));
    }
    for (const Json& setup : Part(c, "setup")) {
      const ProgramRun done = run(setup, {});
      EXPECT_EQ(done.status, 0) << done.err;
    }
    RunOptions options;
    options.unset_env = c.value("unset_env", std::vector<std::string>{});
    if (c.value("in_folder", false)) options.cwd = dir.path();
    const ProgramRun r = run(c["args"], options);
    EXPECT_EQ(r.status, c["status"]);
    // Each stream whole ("out", "err"), its start ("_start") or a part ("_has").
    for (const auto& [name, text] :
         {std::pair<std::string, std::string>{"out", r.out}, {"err", r.err}}) {
      if (c.contains(name)) {
        EXPECT_EQ(text, fill(c[name]));
      }
      if (c.contains(name + "_start")) {
        EXPECT_EQ(text.rfind(fill(c[name + "_start"]), 0), 0u) << text;
      }
      if (c.contains(name + "_has")) {
        EXPECT_NE(text.find(fill(c[name + "_has"])), std::string::npos) << text;
      }
    }
    if (!c.contains("out") && !c.contains("out_start") && !c.contains("out_has")) {
      EXPECT_EQ(r.out, "");
    }
    if (c.value("one_line", false)) {
      EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
    for (const auto& [name, text] : Part(c, "after").items()) {
      if (text.is_null()) {
        EXPECT_FALSE(dir.Exists(name)) << name;
      } else {
        EXPECT_EQ(dir.ReadBytes(name), bytes(text)) << name;
      }
    }
    for (const auto& [book, records] : Part(c, "books").items()) {
      EXPECT_EQ(run({"books", "list", book}, {}).out, fill(records)) << book;
    }
  }
  EXPECT_GT(count, 30);
}

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
  std::string WriteStatement() { return WriteFile("israsas.txt", BankFile(SampleStatement())); }
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    folder.WriteBytes(name, bytes);
    return folder.File(name);
  }

  TempFolder folder;
  std::string db = folder.File("cb.db");
};

TEST_F(ClientBankTest, AStatementImportedAgainStoresNothingTwiceAndSaysSo) {
  const std::string file = WriteStatement();
  const std::vector<std::string> args{"import", "--account", "12345678901", file};
  Ok(args);
  // The store cannot begin while another program holds the database's write
  // lock: the header was out already, so the error ends the lines.
  auto holder = hostkit::Database::Open(db);
  holder->Execute("BEGIN IMMEDIATE");
  ProgramRun busy = Cb({"--busy-timeout", "0", "import", "--account", "12345678901", file});
  holder->Execute("ROLLBACK");
  EXPECT_EQ(busy.status, 2);
  ASSERT_EQ(JsonLines(busy.out).size(), 2u) << busy.out << busy.err;
  EXPECT_EQ(JsonLines(busy.out)[1]["error"]["number"], kErrPathFileAccess);
  EXPECT_NE(busy.err.find("\nerror 75: "), std::string::npos) << busy.err;
  ProgramRun again = Cb(args);
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(JsonLines(again.out).back(),
            Json::parse(R"({"Summary":{"New":0,"AlreadyImported":2}})"));
  EXPECT_EQ(again.err,
            "clientbank: the statement's dates 2024-01-03..2024-01-05 of the account "
            "12345678901 overlap an earlier import of 2024-01-03..2024-01-05 from " +
                file + "\nclientbank: 0 new, 2 already imported\n");
  std::vector<std::string> forced = args;
  forced.insert(forced.begin() + 1, "--again");
  ProgramRun stored = Cb(forced);
  EXPECT_EQ(JsonLines(stored.out).back(),
            Json::parse(R"({"Summary":{"New":2,"AlreadyImported":0}})"));
  // The import that stored nothing added no range: one earlier import is named.
  EXPECT_NE(stored.err.find("overlap"), std::string::npos) << stored.err;
  EXPECT_EQ(stored.err.find("overlap"), stored.err.rfind("overlap")) << stored.err;
  EXPECT_EQ(hostkit::StatementStore(hostkit::Database::Open(db)).List().size(), 4u);
}

TEST_F(ClientBankTest, OutputThatCannotBeWrittenStoresNothing) {
  RunOptions options;
  options.out_path = "/dev/full";
  ProgramRun run =
      RunProgram({"--db", db, "import", "--account", "12345678901", WriteStatement()}, options);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err.rfind("error 57: clientbank: ", 0), 0u) << run.err;
  EXPECT_TRUE(hostkit::StatementStore(hostkit::Database::Open(db)).List().empty());
}

TEST_F(ClientBankTest, ADatabaseOthersCanChangeIsWarnedOf) {
  Ok({"init"});
  ASSERT_EQ(chmod(db.c_str(), 0666), 0);
  ProgramRun warned = Cb({"settings", "show"});
  EXPECT_EQ(warned.status, 0);
  EXPECT_EQ(warned.err,
            "warning: the database '" + db +
                "' (mode 0666) can be changed by users outside your groups: the file '" + db +
                "' is writable by other users (mode 0666); docs/sharing.md tells "
                "how to share it safely\n");
}

TEST_F(ClientBankTest, PathsSetKeepsTheAbsoluteFolder) {
  std::filesystem::create_directory(folder.File("bank"));
  ProgramRun run = Cb({"paths", "set", "RazizeRuveRO", "bank"}, {folder.path()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(JsonLines(Ok({"books", "list", "PathKey"})),
            (std::vector<Json>{{{"Key", "RazizeRuveRO"}, {"EntryPath", folder.File("bank")}}}));
}

TEST_F(ClientBankTest, RegisterAndUnregisterGoThroughTheLibrary) {
  std::string library = std::filesystem::canonical(BuiltLibraryPath()).string();
  std::string registered, removed;
  for (const char* name : {"CBankCl_VB", "CBrowsePath", "CErrDescription"}) {
    registered += "registered Norv_RazizeRuveRO_DOS." + std::string(name) + " -> " + library + "\n";
    removed += "unregistered Norv_RazizeRuveRO_DOS." + std::string(name) + "\n";
  }
  EXPECT_EQ(Ok({"register", BuiltLibraryPath()}), registered);
  EXPECT_EQ(Ok({"unregister", BuiltLibraryPath()}), removed);
  ProgramRun again = Cb({"unregister", BuiltLibraryPath()});
  EXPECT_EQ(again.status, 1);
}

TEST_F(ClientBankTest, DemoRunsTheThreeJobs) {
  ProgramRun run = RunProgram({"demo"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "clientbank: 3 new, 0 already imported\n");
  size_t at = run.out.find("clientbank demo in ");
  ASSERT_EQ(at, 0u) << run.out;
  std::string demo = run.out.substr(19, run.out.find('\n') - 19);
  EXPECT_TRUE(std::filesystem::exists(demo + "/bank/240131.mok"));
  EXPECT_TRUE(std::filesystem::exists(demo + "/bank/240131.tar"));
  EXPECT_NE(run.out.find("Eksportuota vietinių mokėjimų - 2"), std::string::npos);
  EXPECT_NE(
      run.out.find(R"({"Account":"12345678901","DateFrom":"2024-01-02","DateTo":"2024-01-15")"),
      std::string::npos);
  EXPECT_NE(run.out.find("Įkelta valiutų kursų eilučių: 4"), std::string::npos);
  std::filesystem::remove_all(demo);
}

}  // namespace
}  // namespace norv::testing
