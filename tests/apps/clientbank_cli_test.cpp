// The program's command line, its database commands and the registry, each
// through a real run of clientbank. A busy or read-only database is the books'
// own test (tests/hostkit).
#include <filesystem>
#include <fstream>

#include "clientbank_fixture.h"
#include "support/data_files.h"

namespace norv::testing {
namespace {

TEST_F(ClientBankTest, HelpListsEveryCommand) {
  ProgramRun run = RunProgram({"--help"});
  EXPECT_EQ(run.status, 0);
  for (const char* command :
       {"init [--demo]", "books list BOOK", "books add BOOK FILE.json", "paths set KEY FOLDER",
        "export --end-date", "import --account", "rates [--LB CODE]", "demo", "register LIBRARY",
        "unregister LIBRARY"}) {
    EXPECT_NE(run.out.find(command), std::string::npos) << command;
  }
}

// tests/data/cli_runs/cases.jsonl: runs that end without output and change
// nothing, after the commands of "setup", with their exit status and standard
// error ("{input}" is a file holding "input", "{missing}" a file that is not there).
TEST_F(ClientBankTest, RefusedRunsFromTheCatalogue) {
  std::ifstream lines(DataPath("cli_runs", "cases.jsonl"));
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    const Json c = Json::parse(line);
    SCOPED_TRACE(c["name"].get<std::string>());
    auto fill = [&](std::string text) {
      for (auto [mark, path] : {std::pair<std::string, std::string>{"{input}", folder.File("in")},
                                {"{missing}", folder.File("nera.json")}}) {
        for (size_t at; (at = text.find(mark)) != std::string::npos;)
          text.replace(at, mark.size(), path);
      }
      return text;
    };
    if (c.contains("setup")) Ok(c["setup"]);
    if (c.contains("input")) WriteFile("in", c["input"]);
    std::vector<std::string> args;
    for (const Json& arg : c["args"]) args.push_back(fill(arg));
    ProgramRun run = Cb(args);
    EXPECT_EQ(run.status, c["status"]);
    EXPECT_EQ(run.out, "");
    if (c.contains("err")) {
      EXPECT_EQ(run.err, fill(c["err"]));
    }
    if (c.contains("err_start")) {
      EXPECT_EQ(run.err.rfind(c["err_start"], 0), 0u) << run.err;
    }
    if (c.contains("err_has")) {
      EXPECT_NE(run.err.find(c["err_has"]), std::string::npos) << run.err;
    }
    if (c.value("one_line", false)) {
      EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
    if (c.value("no_export", false)) {
      EXPECT_FALSE(folder.Exists("240131.mok"));
    }
    if (c.value("no_database", false)) {
      EXPECT_FALSE(folder.Exists("cb.db"));
    }
    if (c.contains("empty_book")) {
      EXPECT_EQ(Ok({"books", "list", c["empty_book"]}), "");
    }
    std::filesystem::remove(db);
  }
  EXPECT_GT(count, 0);
}

TEST_F(ClientBankTest, TheDatabaseIsPrivateAndUntrustedLibrariesAreRefused) {
  ProgramRun init = Cb({"init"});
  EXPECT_EQ(init.out,
            "database " + db + " is ready (mode 0600: only its owner can read and change it)\n");
  EXPECT_EQ(init.err, "");  // the build's library loads without a warning

  std::string open = folder.File("open");
  ASSERT_EQ(mkdir(open.c_str(), 0777), 0);
  ASSERT_EQ(chmod(open.c_str(), 0777), 0);
  std::string library = WriteFile("open/lib.so", "plain text");
  ProgramRun refused = Cb({"register", library});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err,
            "error 70: DefaultHost.ComponentRegistry: Permission denied: the library '" + library +
                "' is not loaded: the folder '" + open +
                "' is writable by other users (mode 0777)\n");

  ASSERT_EQ(chmod(db.c_str(), 0666), 0);
  ProgramRun warned = Cb({"settings", "show"});
  EXPECT_EQ(warned.status, 0);
  EXPECT_EQ(warned.err,
            "warning: the database '" + db +
                "' (mode 0666) can be changed by users outside your groups: the file '" + db +
                "' is writable by other users (mode 0666); docs/sharing.md tells "
                "how to share it safely\n");
}

TEST_F(ClientBankTest, InitDemoFillsTheBooks) {
  EXPECT_NE(Ok({"init", "--demo"}).find("demo reference data: 5 currencies, 6 rate types"),
            std::string::npos);
  std::vector<Json> currencies = JsonLines(Ok({"books", "list", "REFCurrency"}));
  ASSERT_EQ(currencies.size(), 5u);
  EXPECT_EQ(currencies[0], Json::parse(R"({"CurrencyCode":"EUR","Name":"Euras"})"));
  std::vector<Json> types = JsonLines(Ok({"books", "list", "REFCurrencyRateType"}));
  ASSERT_EQ(types.size(), 30u);
  for (const Json& type : types) {
    EXPECT_EQ(type["Amount"], type["CurrencyCode"] == "PLN" ? "10.0000" : "1.0000");
    EXPECT_EQ(type["IsReverse"], 0);
  }
  std::vector<Json> rate_types = JsonLines(Ok({"books", "list", "REFRateType"}));
  EXPECT_EQ(rate_types.size(), 6u);
  std::string folder_text = std::filesystem::path(folder.path()).lexically_normal().string();
  EXPECT_EQ(JsonLines(Ok({"books", "list", "PathKey"})),
            (std::vector<Json>{{{"Key", "ClientBank"}, {"EntryPath", folder_text}},
                               {{"Key", "RazizeRuveRO"}, {"EntryPath", folder_text}}}));
}

TEST_F(ClientBankTest, BooksAddReplacesByKeyAndGivesRatesNewIdcs) {
  std::string first = WriteFile("rates.json", R"([
    {"CurrencyCode": "EUR", "RateTypeCode": "LB", "DateRate": "2024-01-31", "Rate": "3.4528"},
    {"CurrencyCode": "USD", "RateTypeCode": "LB", "DateRate": "2024-01-31", "Rate": 0.5}])");
  EXPECT_EQ(Ok({"books", "add", "REFCurrencyRate", first}),
            "added or replaced 2 records of REFCurrencyRate\n");
  std::string again = WriteFile("again.json", R"([
    {"CurrencyCode": "EUR", "RateTypeCode": "LB", "DateRate": "2024-01-31", "Rate": "-922337203685477.5808"},
    {"CurrencyCode": "EUR", "RateTypeCode": "LB", "DateRate": "2024-02-01", "Rate": null}])");
  Ok({"books", "add", "REFCurrencyRate", again});
  EXPECT_EQ(
      Ok({"books", "list", "REFCurrencyRate"}),
      R"({"IDC":1,"CurrencyCode":"EUR","RateTypeCode":"LB","DateRate":"2024-01-31","Rate":"-922337203685477.5808"})"
      "\n"
      R"({"IDC":3,"CurrencyCode":"EUR","RateTypeCode":"LB","DateRate":"2024-02-01","Rate":null})"
      "\n"
      R"({"IDC":2,"CurrencyCode":"USD","RateTypeCode":"LB","DateRate":"2024-01-31","Rate":"0.5000"})"
      "\n");
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
  // A job registers the library the program was built with on first use.
  ProgramRun job = Cb({"rates", WriteFile("kursai.txt", "")});
  EXPECT_EQ(job.status, 1) << job.err;
  EXPECT_EQ(Ok({"unregister", BuiltLibraryPath()}), removed);

  ProgramRun text = Cb({"register", WriteFile("text.so", "not a library")});
  EXPECT_EQ(text.status, 2);
  EXPECT_EQ(text.err.rfind("error 48: DefaultHost.ComponentRegistry: Error in loading DLL: ", 0),
            0u)
      << text.err;
}

TEST_F(ClientBankTest, GuiWithoutADisplaySaysWhatIsMissingInOneLine) {
  RunOptions no_screen;
  no_screen.unset_env = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
  ProgramRun run = Cb({"--gui"}, no_screen);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err,
            "clientbank: --gui needs a display: run it on a desktop (DISPLAY or WAYLAND_DISPLAY "
            "set), or without a screen with QT_QPA_PLATFORM=offscreen\n");
  EXPECT_FALSE(folder.Exists("cb.db"));
}

}  // namespace
}  // namespace norv::testing
