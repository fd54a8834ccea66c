#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "commands.h"
#include "demo_data.h"
#include "hostkit/book_layouts.h"
#include "hostkit/sqlite_books.h"
#include "job_commands.h"
#include "jobs/json_values.h"
#include "json_records.h"
#include "runtime/codepage.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace clientbank {

namespace fs = std::filesystem;
namespace hostkit = norv::hostkit;

namespace {

fs::path NewDemoFolder() {
  const char* tmp = getenv("TMPDIR");
  std::string pattern =
      std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/clientbank-demo-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    Fail(norv::kErrPathFileAccess, "cannot create a folder like '" + pattern + "'");
  }
  return pattern;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary);
  file << bytes;
  if (!file.flush()) Fail(norv::kErrDeviceIo, "cannot write '" + path.string() + "'");
}

// The lines of a bank file as text (Windows-1257, line ends dropped).
void ShowBankFile(std::ostream& out, const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out << "    " << norv::U16ToUtf8(norv::cp1257::Decode(line)) << '\n';
  }
}

}  // namespace

int RunDemo(const GlobalOptions& global, std::ostream& out, std::ostream& err) {
  fs::path folder = NewDemoFolder();
  fs::path bank = folder / "bank";
  fs::create_directory(bank);
  GlobalOptions options = global;
  options.db = (folder / "clientbank.db").string();
  Session session(options, out, err);

  DemoCounts counts = AddDemoReferenceData(session.host(), bank.string());
  fs::path payments = folder / "payments.json";
  fs::path statement = bank / "israsas.txt";
  fs::path rates = bank / "kursai.txt";
  WriteFile(payments, DemoPaymentsJson());
  WriteFile(statement, DemoStatementBytes(session.host()));
  WriteFile(rates, DemoRateFileBytes(session.host()));

  out << "clientbank demo in " << folder.string() << "\n"
      << "  database  " << options.db << " (" << counts.currencies << " currencies, "
      << counts.rate_types << " rate types, " << counts.currency_rate_types
      << " currency rate types; folder key RazizeRuveRO = " << bank.string() << ")\n"
      << "  payments  " << payments.string() << " (2 local, 1 foreign)\n"
      << "  statement " << statement.string() << " (account " << kDemoAccount << ")\n"
      << "  rates     " << rates.string() << "\n";
  int status = kExitOk;

  out << "\n== 1. Payment export (end date " << norv::jobs::DateText(DemoEndDate())
      << "; the target dialog keeps the proposed folder and names)\n";
  ExportOptions export_request;
  export_request.end_date = DemoEndDate();
  export_request.docs_file = payments.string();
  status = std::max(status, RunExport(session, export_request));
  for (const fs::path& file : {bank / "240131.mok", bank / "240131.tar"}) {
    if (!fs::exists(file)) continue;
    out << "  " << file.string() << ":\n";
    ShowBankFile(out, file);
  }

  out << "\n== 2. Statement import of account " << kDemoAccount << " (header, then one line per "
      << "document; the documents are kept in the database)\n";
  ImportOptions import_request;
  import_request.account = kDemoAccount;
  import_request.credit_side = true;
  import_request.file = statement.string();
  status = std::max(status, RunImport(session, import_request));

  out << "\n== 3. Currency rates (each column stored under the rate type of the same name)\n";
  RatesOptions rates_request;
  rates_request.file = rates.string();
  for (const RateColumn& column : kRateColumns) rates_request.codes[column.option] = column.option;
  status = std::max(status, RunRates(session, rates_request));
  const hostkit::BookLayout& book = *hostkit::FindBook(u"REFCurrencyRate");
  std::vector<hostkit::BookRecord> stored =
      hostkit::BookStore(session.host().database()).List(book);
  out << "  REFCurrencyRate now holds " << stored.size() << " rates; the accounting ones (LB):\n";
  for (const hostkit::BookRecord& record : stored) {
    if (record.at(u"RateTypeCode") != norv::Variant(std::u16string(u"LB"))) continue;
    out << "    " << BookRecordJson(book, record).dump() << '\n';
  }

  out << "\nTry: clientbank --db " << options.db << " books list REFCurrencyRate\n";
  return status;
}

}  // namespace clientbank
