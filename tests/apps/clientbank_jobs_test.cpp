// The command line's wiring of the three jobs (the jobs themselves are
// tests/jobs): options to dialog answers, JSON Lines and file names on standard
// output, errors and notices on standard error, exit statuses; a run killed in
// the middle of its store; the demo.
#include <signal.h>

#include <filesystem>

#include "clientbank_fixture.h"
#include "hostkit/database.h"
#include "hostkit/resource_module.h"
#include "hostkit/statement_store.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace norv::testing {
namespace {

std::string Text(int32_t id) { return U16ToUtf8(hostkit::NorvFormResText(id)); }

class ExportTest : public ClientBankTest {
 protected:
  ProgramRun Export(const std::string& docs, std::vector<std::string> options = {}) {
    std::vector<std::string> args{"export", "--end-date", "2004-03-15", "--folder", folder.path()};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(WriteFile("docs.json", docs));
    return Cb(args);
  }
};

TEST_F(ExportTest, WritesTheDpAndFpFilesAndTheSummary) {
  ProgramRun run = Export(std::string("[") + kLocalPaymentJson + "," + kForeignPaymentJson + "]");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(folder.ReadBytes("040315.mok"), kLocalLine + "\r\n");
  EXPECT_EQ(folder.ReadBytes("040315.tar"), kForeignLine + "\r\n");
  EXPECT_EQ(run.out, Text(987) + "\n\n" + Text(988) + " - 1\n" + Text(989) + " - 1\n" +
                         "DP file: " + folder.File("040315.mok") + "\n" +
                         "FP file: " + folder.File("040315.tar") + "\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(ExportTest, TakesTheNamesFromTheOptionsAndTheCodePageFromTheSettings) {
  Ok({"settings", "set", "code-page", "775"});
  ProgramRun run =
      Export(std::string("[") + kLocalPaymentJson + "]", {"--dp-name", "vietiniai.txt"});
  EXPECT_EQ(run.status, 0) << run.err;
  std::string line = kLocalLine;
  line.replace(line.find('\xEB'), 1, "\xD3");  // ė in code page 775
  EXPECT_EQ(folder.ReadBytes("vietiniai.txt"), line + "\r\n");
  EXPECT_FALSE(folder.Exists("040315.tar"));
}

TEST_F(ExportTest, CancelRaises1100AndWritesNothing) {
  ProgramRun run = Export(std::string("[") + kLocalPaymentJson + "]", {"--cancel"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err.rfind("error 1100: ", 0), 0u) << run.err;
  EXPECT_FALSE(folder.Exists("040315.mok"));
}

// The check before the export reaches the user: every problem as a JSON line,
// nothing written when one is an error (or a warning under --strict).
TEST_F(ExportTest, ProblemsAreShownAndErrorsStopTheRunBeforeAnyFile) {
  std::string broken = kLocalPaymentJson;
  broken.replace(broken.find("\"PayeeAccount\""), 14, "\"PayeeAddress\"");
  broken.replace(broken.find("000125"), 6, "12.50");
  const std::string both = std::string("[") + kLocalPaymentJson + "," + broken + "]";
  const std::string twice = std::string("[") + kLocalPaymentJson + "," + kLocalPaymentJson + "]";
  const std::string error1 =
      R"({"Index":1,"DocNumber":"12.50","Field":"Gavejo saskaita","Rule":"Required","Value":"","Level":"error"})";
  const std::string error2 =
      R"({"Index":1,"DocNumber":"12.50","Field":"Numeris","Rule":"WholeNumber","Value":"12.50","Level":"error"})";
  const std::string warning =
      R"({"Index":1,"DocNumber":"000125","Field":"","Rule":"Repeated","Value":"as index 0","Level":"warning"})";
  struct Case {
    std::string docs;
    std::vector<std::string> options;
    int status;
    std::string problems;  // on standard output with --check, standard error otherwise
    bool written;
  };
  for (const Case& c : {
           Case{both, {"--check"}, 2, error1 + "\n" + error2 + "\n", false},
           Case{both, {}, 2, error1 + "\n" + error2 + "\n", false},
           Case{twice, {"--check"}, 0, warning + "\n", false},
           Case{twice, {"--strict"}, 2, warning + "\n", false},
           Case{twice, {}, 0, warning + "\n", true},
       }) {
    SCOPED_TRACE(c.docs + " " + (c.options.empty() ? "" : c.options[0]));
    ProgramRun run = Export(c.docs, c.options);
    EXPECT_EQ(run.status, c.status) << run.err;
    const bool check_only = !c.options.empty() && c.options[0] == "--check";
    EXPECT_EQ((check_only ? run.out : run.err).rfind(c.problems, 0), 0u) << run.out << run.err;
    EXPECT_EQ(folder.Exists("040315.mok"), c.written);
    EXPECT_FALSE(folder.Exists("040315.mok.bak"));
    std::filesystem::remove(folder.File("040315.mok"));
  }
}

// The DP file cannot be created after the FP file was: EndExport(true) stops
// at the DP file's missing backup, so the FP file keeps its own name, and the
// user is told where it lies.
TEST_F(ExportTest, AFileLeftUnderItsOwnNameIsNamed) {
  folder.WriteBytes("040315.tar.bak", "an older backup\r\n");
  ProgramRun run = Export(std::string("[") + kForeignPaymentJson + "," + kLocalPaymentJson + "]",
                          {"--dp-name", "missing/x.mok"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err,
            "error 76: Norv_RazizeRuveRO_DOS: Path not found\n"
            "error 76: Norv_RazizeRuveRO_DOS: Path not found\n"
            "left on disk: " +
                folder.File("040315.tar") + "\n");
  EXPECT_EQ(folder.ReadBytes("040315.tar"), kForeignLine + "\r\n");
  EXPECT_EQ(folder.ReadBytes("040315.tar.bak"), "an older backup\r\n");
}

TEST_F(ExportTest, AReadOnlyFolderIsAnErrorAndNothingIsWritten) {
  std::string locked = folder.File("locked");
  std::filesystem::create_directory(locked);
  ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
  if (geteuid() == 0) {  // the run as nobody keeps its database in a folder of its own
    ASSERT_EQ(chown(folder.path().c_str(), 65534, 65534), 0);
  }
  ProgramRun run = RunProgram({"--db", db, "export", "--end-date", "2004-03-15", "--folder", locked,
                               WriteFile("docs.json", std::string("[") + kLocalPaymentJson + "]")},
                              {"", true});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err.rfind("error 70: ", 0), 0u) << run.err;
  EXPECT_TRUE(std::filesystem::is_empty(locked));
}

class ImportTest : public ClientBankTest {
 protected:
  std::string WriteStatement() { return WriteFile("israsas.txt", BankFile(SampleStatement())); }
};

TEST_F(ImportTest, PrintsTheHeaderAndEveryDocumentAndKeepsThem) {
  std::string file = WriteStatement();
  ProgramRun run = Cb({"import", "--account", "12345678901", "--credit-side", file});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<Json> lines = JsonLines(run.out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], Json::parse(R"({"Account":"12345678901","DateFrom":"2024-01-03",
                                      "DateTo":"2024-01-05","CreditSideDocs":true})"));
  EXPECT_EQ(lines[1], Json::parse(R"({"DocKind":1,"ClientAccount":"12345678901","CorrAccount":"",
      "CorrCode":"","CorrBankName":"AB SEB bankas","Amount":"150.0000","CurrencyCode":"LTL",
      "IsDebit":false,"CurrencyKind":1,"DocNumber":"1001","OpDate":"2024-01-05",
      "Comment":"Apmokėjimas","ClientIban":"LT121000011101001000","CorrIban":""})"));
  EXPECT_EQ(lines[2]["Amount"], "80.0000");
  EXPECT_EQ(lines[3], Json::parse(R"({"Summary":{"New":2,"AlreadyImported":0}})"));
  EXPECT_EQ(hostkit::StatementStore(hostkit::Database::Open(db)).List().size(), 2u);
  ProgramRun unticked = Cb({"import", "--account", "12345678901", file});
  ASSERT_EQ(unticked.status, 0) << unticked.err;
  EXPECT_EQ(JsonLines(unticked.out)[0]["CreditSideDocs"], false);
}

TEST_F(ImportTest, AStatementImportedAgainStoresNothingTwiceAndSaysSo) {
  const std::string file = WriteStatement();
  const std::vector<std::string> args{"import", "--account", "12345678901", file};
  Ok(args);
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

// A statement of `count` lines of the account, the last one `last`.
std::string ManyLines(int count, const std::string& last) {
  std::string bytes;
  const std::string line = BankFile({StatementLine({{2, "2024.01.04"},
                                                    {3, "12345678901"},
                                                    {5, "EUR"},
                                                    {11, "1,00"},
                                                    {19, std::string(60, 'x')}})});
  bytes.reserve(line.size() * count);
  for (int i = 1; i < count; ++i) bytes += line;
  return bytes + BankFile({last});
}

// The store cannot begin while another program holds the database's write
// lock: the header was out already, so the error ends the lines.
TEST_F(ImportTest, AFailureAfterTheFirstLineEndsTheLinesWithTheError) {
  const std::string file = WriteStatement();
  Ok({"import", "--account", "12345678901", file});  // registers the library, keeps the choices
  auto holder = hostkit::Database::Open(db);
  holder->Execute("BEGIN IMMEDIATE");
  ProgramRun run = Cb({"--busy-timeout", "0", "import", "--account", "12345678901", file});
  holder->Execute("ROLLBACK");
  EXPECT_EQ(run.status, 2);
  std::vector<Json> lines = JsonLines(run.out);
  ASSERT_EQ(lines.size(), 2u) << run.out << run.err;
  EXPECT_EQ(lines[1]["error"]["number"], kErrPathFileAccess);
  // After the notice that the same dates were imported before.
  EXPECT_NE(run.err.find("\nerror 75: "), std::string::npos) << run.err;
  EXPECT_EQ(hostkit::StatementStore(hostkit::Database::Open(db)).List().size(), 2u);
}

TEST_F(ImportTest, OutputThatCannotBeWrittenStoresNothing) {
  RunOptions options;
  options.out_path = "/dev/full";
  ProgramRun run =
      RunProgram({"--db", db, "import", "--account", "12345678901", WriteStatement()}, options);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err.rfind("error 57: clientbank: ", 0), 0u) << run.err;
  EXPECT_TRUE(hostkit::StatementStore(hostkit::Database::Open(db)).List().empty());
}

// Killed while it stores, the program leaves a sound database with none of the
// statement: the documents are stored in one transaction.
TEST_F(ImportTest, AKilledImportLeavesTheWholeStatementOrNone) {
  const std::string file = WriteFile("israsas.txt", ManyLines(400000, "GALAS"));
  RunOptions options;
  options.kill_after_out = 1 << 20;
  ProgramRun run = RunProgram({"--db", db, "import", "--account", "12345678901", file}, options);
  ASSERT_EQ(run.status, 128 + SIGKILL) << "the import ended before it was killed";
  auto database = hostkit::Database::Open(db);
  hostkit::Statement check = database->Prepare("PRAGMA integrity_check");
  ASSERT_TRUE(check.Step());
  EXPECT_EQ(check.Utf8(0), "ok");
  hostkit::Statement count = database->Prepare("SELECT COUNT(*) FROM statement_docs");
  ASSERT_TRUE(count.Step());
  EXPECT_EQ(count.Int64(0), 0);
}

class RatesTest : public ClientBankTest {
 protected:
  void SetUp() override { Ok({"init", "--demo"}); }
  std::string WriteRates(const std::vector<std::string>& currency_lines) {
    std::vector<std::string> lines = currency_lines;
    lines.push_back("2024.01.31");
    lines.push_back("GALAS");
    return WriteFile("kursai.txt", BankFile(lines));
  }
  std::vector<Json> Rates() { return JsonLines(Ok({"books", "list", "REFCurrencyRate"})); }
};

TEST_F(RatesTest, StoresEachChosenColumnUnderItsRateType) {
  ProgramRun run = Cb({"rates", "--LB", "LB", "--Check", "Buy",
                       WriteRates({RateLine("EUR", {"3.4528", "0", "0", "0", "0", "3.4"}),
                                   RateLine("PLN", {"0.81234567"})})});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(
      run.out,
      Text(998) + " 2\n" +
          R"({"Currency":"EUR","RateType":"LB","Date":"2024-01-31","OldRate":null,"NewRate":"3.4528","ChangePercent":null}
{"Currency":"EUR","RateType":"Buy","Date":"2024-01-31","OldRate":null,"NewRate":"3.4000","ChangePercent":null}
{"Currency":"PLN","RateType":"LB","Date":"2024-01-31","OldRate":null,"NewRate":"8.1235","ChangePercent":null}
)");
  EXPECT_EQ(
      Rates(),
      JsonLines(
          R"({"IDC":2,"CurrencyCode":"EUR","RateTypeCode":"Buy","DateRate":"2024-01-31","Rate":"3.4000"}
{"IDC":1,"CurrencyCode":"EUR","RateTypeCode":"LB","DateRate":"2024-01-31","Rate":"3.4528"}
{"IDC":3,"CurrencyCode":"PLN","RateTypeCode":"LB","DateRate":"2024-01-31","Rate":"8.1235"}
)"));
}

// What a load changes reaches the user, with its warnings; --dry-run keeps
// nothing, --strict undoes a load with warnings.
TEST_F(RatesTest, ChangesAndWarningsAreShownAndADryRunKeepsNothing) {
  Ok({"rates", "--LB", "LB", WriteRates({RateLine("EUR", {"3.0"})})});
  const std::string file = WriteRates({RateLine("EUR", {"3.4528"})});
  const std::string change =
      R"({"Currency":"EUR","RateType":"LB","Date":"2024-01-31","OldRate":"3.0000","NewRate":"3.4528","ChangePercent":15.09,"Warning":"moves +15.09% from 3.0000, more than 10%"})";
  for (const std::string option : {"--dry-run", "--strict"}) {
    ProgramRun run = Cb({"rates", option, "--LB", "LB", file});
    EXPECT_EQ(run.status, option == "--strict" ? 2 : 0) << run.err;
    EXPECT_EQ(run.out, Text(998) + " 1\n" + change + "\n");
    EXPECT_EQ(Rates().at(0)["Rate"], "3.0000");
  }
  ProgramRun kept = Cb({"rates", "--LB", "LB", file});
  EXPECT_EQ(kept.status, 0) << kept.err;
  EXPECT_EQ(kept.out, Text(998) + " 1\n" + change + "\n");
  EXPECT_NE(kept.err.find("kept with warnings"), std::string::npos) << kept.err;
  EXPECT_EQ(Rates().at(0)["Rate"], "3.4528");
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
  EXPECT_NE(run.out.find(Text(988) + " - 2"), std::string::npos);
  EXPECT_NE(
      run.out.find(R"({"Account":"12345678901","DateFrom":"2024-01-02","DateTo":"2024-01-15")"),
      std::string::npos);
  EXPECT_NE(run.out.find(Text(998) + " 4"), std::string::npos);
  std::filesystem::remove_all(demo);
}

}  // namespace
}  // namespace norv::testing
