// clientbank: runs the component's three jobs against the embedded default host
// from the command line (see --help).
#include <exception>
#include <iostream>
#include <map>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "commands.h"
#include "hostkit/console_services.h"
#include "job_commands.h"
#include "jobs/json_values.h"
#include "runtime/com_error.h"
#include "session.h"

namespace {

using namespace clientbank;

constexpr char kUsage[] =
    "usage: clientbank [--db FILE] [--regional lt-LT|lt-LT-2010|en-US|invariant] [--gui] "
    "[--busy-timeout MS] [--quiet] "
    "COMMAND "
    "... (clientbank --help lists the commands)";

constexpr char kCommands[] = R"(Commands:
  init [--demo]                          create the database (--demo: add demo reference data)
  books list BOOK                        the book's records as JSON Lines
  books add BOOK FILE.json               add or replace records (a JSON array) by the book's key
  paths set KEY FOLDER                   the folder of a PathKey entry
  export --end-date YYYY-MM-DD [--folder DIR] [--dp-name NAME] [--fp-name NAME] [--cancel]
         [--check] [--strict] DOCS       export payment orders (a JSON array or JSON Lines) to the
                                         DP and FP files, at most 32767 of each kind per run; every
                                         document is checked first (--check: only check)
  import --account ACCOUNT [--credit-side] [--again] FILE
                                         import a bank statement; JSON Lines on standard output;
                                         documents imported before are skipped unless --again
  rates [--LB CODE] [--CashBuy CODE] [--CashSell CODE] [--Buy CODE] [--Sell CODE] [--Check CODE]
        [--dry-run] [--strict] FILE      load a currency rate file into the rate books; prints
                                         what changed, with warnings
  demo                                   run the three jobs on sample files in a new temporary folder
  --gui (no command)                     the program's window: the jobs with their dialogs on screen
  register LIBRARY                       register the component library's classes
  unregister LIBRARY                     remove them again
  settings show | settings set regional NAME | settings set code-page 1257|775
                                         the database's regional preset and bank-file code page
Books: PathKey, REFCurrency, REFCurrencyRateType, REFCurrencyRate, REFRateType.
Long jobs show their progress on standard error when it is a terminal (not with --quiet).
Exit status: 0 done, 1 nothing done, 2 error (printed as "error NUMBER: SOURCE: DESCRIPTION").)";

int UsageError(const std::string& message) {
  std::cerr << "clientbank: " << message << '\n' << kUsage << '\n';
  return kExitError;
}

int Run(int argc, char** argv) {
  CLI::App app{
      "clientbank: payment export, statement import and currency rates through the "
      "Norv_RazizeRuveRO_DOS component on the embedded default host.",
      "clientbank"};
  app.footer(kCommands);
  app.require_subcommand(0, 1);
  app.fallthrough();

  GlobalOptions global;
  app.add_option("--db", global.db, "the database file (created on first use)")
      ->capture_default_str();
  app.add_option("--regional", global.regional,
                 "regional settings (default: the database's setting, lt-LT unless set)")
      ->check(CLI::IsMember({"lt-LT", "lt-LT-2010", "en-US", "invariant"}));
  app.add_flag("--gui", global.gui,
               "open the program's window: the three jobs with their dialogs on screen");
  app.add_option("--busy-timeout", global.busy_timeout_ms,
                 "milliseconds a change waits for another program's lock on the database")
      ->capture_default_str()
      ->check(CLI::NonNegativeNumber);
  app.add_flag("--quiet", global.quiet, "no progress on standard error");

  bool demo_data = false;
  auto* init = app.add_subcommand("init", "create the database");
  init->add_flag("--demo", demo_data, "add demo reference data");

  std::string book, file, key, folder, library, setting, value;
  auto* books = app.add_subcommand("books", "reference books");
  books->require_subcommand(1);
  auto* books_list = books->add_subcommand("list", "the book's records as JSON Lines");
  books_list->add_option("BOOK", book)->required();
  auto* books_add = books->add_subcommand("add", "add or replace records by the book's key");
  books_add->add_option("BOOK", book)->required();
  books_add->add_option("FILE", file, "a JSON array of records")->required();

  auto* paths = app.add_subcommand("paths", "folder keys (the PathKey book)");
  paths->require_subcommand(1);
  auto* paths_set = paths->add_subcommand("set", "the folder of a key");
  paths_set->add_option("KEY", key)->required();
  paths_set->add_option("FOLDER", folder)->required();

  std::string end_date;
  std::optional<std::string> export_folder, dp_name, fp_name;
  bool cancel = false;
  auto* export_cmd = app.add_subcommand("export", "export payment orders");
  export_cmd->add_option("--end-date", end_date, "the run's end date, YYYY-MM-DD")->required();
  export_cmd->add_option("--folder", export_folder, "the folder of the two files");
  export_cmd->add_option("--dp-name", dp_name, "the name of the DP file");
  export_cmd->add_option("--fp-name", fp_name, "the name of the FP file");
  export_cmd->add_flag("--cancel", cancel, "cancel the target dialog");
  bool check_only = false;
  bool export_strict = false;
  export_cmd->add_flag("--check", check_only, "check every document and write nothing");
  export_cmd->add_flag("--strict", export_strict, "warnings stop the export as errors do");
  export_cmd->add_option("DOCS", file, "payment documents: a JSON array or JSON Lines")->required();

  ImportOptions import_request;
  auto* import_cmd = app.add_subcommand("import", "import a bank statement");
  import_cmd->add_option("--account", import_request.account, "the account")->required();
  import_cmd->add_flag("--credit-side", import_request.credit_side,
                       "tick \"documents from the credit side\"");
  import_cmd->add_flag("--again", import_request.again,
                       "store the documents imported before as well");
  import_cmd->add_option("FILE", import_request.file, "the statement file")->required();

  RatesOptions rates_request;
  std::map<std::string, std::string> codes;
  auto* rates = app.add_subcommand("rates", "load a currency rate file");
  for (const RateColumn& column : kRateColumns) {
    rates->add_option(std::string("--") + column.option, codes[column.option],
                      "the rate type of this column");
  }
  rates->add_option("FILE", rates_request.file, "the rate file")->required();
  rates->add_flag("--dry-run", rates_request.dry_run, "show what the load changes, keep nothing");
  rates->add_flag("--strict", rates_request.strict, "undo a load that has warnings");

  app.add_subcommand("demo", "run the three jobs on sample files in a new temporary folder");
  auto* register_cmd = app.add_subcommand("register", "register the component library");
  register_cmd->add_option("LIBRARY", library)->required();
  auto* unregister_cmd = app.add_subcommand("unregister", "remove the library's classes");
  unregister_cmd->add_option("LIBRARY", library)->required();

  auto* settings = app.add_subcommand("settings", "the database's settings");
  settings->require_subcommand(1);
  settings->add_subcommand("show", "show the settings");
  auto* settings_set = settings->add_subcommand("set", "change a setting");
  settings_set->add_option("NAME", setting)
      ->required()
      ->check(CLI::IsMember({"regional", "code-page"}));
  settings_set->add_option("VALUE", value)->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    return UsageError(error.what());
  }

  if (global.gui) {
    if (!app.get_subcommands().empty()) {
      return UsageError("--gui opens the program's window and takes no command");
    }
    return RunWindow(global, argc, argv);
  }
  if (app.get_subcommands().empty()) return UsageError("a command is required");
  if (app.got_subcommand("demo")) return RunDemo(global, std::cout, std::cerr);

  Session session(global, std::cout, std::cerr);
  if (*init) return RunInit(session, demo_data);
  if (*books_list) return RunBooksList(session, book);
  if (*books_add) return RunBooksAdd(session, book, file);
  if (*paths_set) return RunPathsSet(session, key, folder);
  if (*register_cmd) return RunRegister(session, library);
  if (*unregister_cmd) return RunUnregister(session, library);
  if (*settings_set) return RunSettingsSet(session, setting, value);
  if (*settings) return RunSettingsShow(session);
  if (*export_cmd) {
    ExportOptions request;
    if (end_date.empty()) return UsageError("--end-date needs a date YYYY-MM-DD");
    request.end_date = norv::jobs::ParseDateText(end_date, "--end-date");
    request.folder = export_folder;
    request.dp_name = dp_name;
    request.fp_name = fp_name;
    request.cancel = cancel;
    request.docs_file = file;
    request.check_only = check_only;
    request.strict = export_strict;
    return RunExport(session, request);
  }
  if (*import_cmd) return RunImport(session, import_request);
  if (*rates) {
    for (const auto& [option, code] : codes) {
      if (!code.empty()) rates_request.codes[option] = code;
    }
    return RunRates(session, rates_request);
  }
  return UsageError("a command is required");
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const norv::ComError& error) {
    std::cerr << norv::hostkit::ErrorLine(error) << '\n';
    return kExitError;
  } catch (const std::exception& error) {
    std::cerr << "error: " << error.what() << '\n';
    return kExitError;
  }
}
