// Export throughput: N payment documents (local and foreign mixed, realistic
// field sizes, Lithuanian letters) go through ExportDoc into real DP and FP files
// in a temporary folder; the same lines are then written by a naive writer
// (fields joined with std::string, std::ofstream, CR LF). Prints docs/s of both,
// checks that both wrote the same bytes, and ends with "ratio R" (component time
// over naive time). The documents go through runs of 40,000 (a run counts in
// 16 bits), each run into its own DP and FP files named by its end date.
//
//   export_bench [documents] [folder]
//   export_bench --json PATH LOCAL FOREIGN   only writes LOCAL local and FOREIGN
//                                            foreign documents as a JSON array
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "bench/bench_host.h"
#include "component/cbankcl_vb.h"
#include "core/records.h"
#include "runtime/codepage.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv::bench {
namespace {

using Clock = std::chrono::steady_clock;

// Wall-clock and processor time of one phase. The ratio uses processor time:
// on a shared machine the wall clock mostly measures the other processes.
struct Timing {
  double wall = 0;
  double cpu = 0;
};

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

class Stopwatch {
 public:
  Timing Elapsed() const {
    return {std::chrono::duration<double>(Clock::now() - wall_).count(), CpuSeconds() - cpu_};
  }

 private:
  Clock::time_point wall_ = Clock::now();
  double cpu_ = CpuSeconds();
};

struct Job {
  int32_t doc_type;
  PaymentDoc doc;
};

// --- Documents -------------------------------------------------------------

const std::vector<std::u16string> kCompanies = {u"UAB Šiaurės prekyba",
                                                u"AB Žemaitijos pienas",
                                                u"Kauno grūdai UAB",
                                                u"Jonas Petraitis",
                                                u"UAB Vilniaus vandenys",
                                                u"Ąžuolų baldai",
                                                u"MB Čiurlionio studija",
                                                u"Individuali įmonė Rūta",
                                                u"UAB Baltijos logistikos centras ir partneriai"};
const std::vector<std::u16string> kForeignNames = {
    u"Muster Handels GmbH", u"Acme Industrial Supplies Ltd", u"Nordic Timber AB",
    u"Societe Generale de Transport et Logistique SA", u"Polska Spolka Handlowa Sp. z o.o."};
const std::vector<std::u16string> kBanks = {
    u"Deutsche Bank AG", u"Skandinaviska Enskilda Banken AB (publ)", u"Bank Polska Kasa Opieki SA",
    u"Commerzbank Aktiengesellschaft Frankfurt am Main"};
const std::vector<std::u16string> kAddresses = {
    u"Taunusanlage 12, 60325 Frankfurt am Main, Germany", u"Kungstradgardsgatan 8, Stockholm",
    u"ul. Grzybowska 53/57, 00-844 Warszawa, Poland", u"1 Canada Square, London E14 5AB"};
const std::vector<std::u16string> kPurposes = {
    u"Sąskaita faktūra Nr. SF-", u"Už prekes pagal sutartį Nr. ",
    u"Avansinis mokėjimas už paslaugas ", u"Payment for invoice INV-",
    u"Nuoma už 2024 m. sausio mėn., sutartis "};

std::u16string Digits(std::mt19937& rng, int count) {
  std::u16string text;
  for (int i = 0; i < count; ++i) text += static_cast<char16_t>(u'0' + rng() % 10);
  return text;
}

template <typename T>
const T& Pick(std::mt19937& rng, const std::vector<T>& list) {
  return list[rng() % list.size()];
}

std::u16string Purpose(std::mt19937& rng, size_t max) {
  std::u16string text = Pick(rng, kPurposes) + Digits(rng, 5);
  while (text.size() + 12 < max && rng() % 3 != 0)
    text += u" ir papildomos prekės " + Digits(rng, 4);
  return text.substr(0, max);
}

// An account number in IBAN form with the right check digits (ISO 13616), so
// that the program's check before export passes it: the country code, the two
// digits that make the whole 1 modulo 97, then `digits` random digits.
std::u16string Iban(std::mt19937& rng, std::u16string_view country, size_t digits) {
  const std::u16string bban = Digits(rng, digits);
  int remainder = 0;
  const auto feed = [&](int digit) { remainder = (remainder * 10 + digit) % 97; };
  for (char16_t c : bban) feed(c - u'0');
  for (char16_t c : country) {  // A is 10, B 11, ...
    feed((c - u'A' + 10) / 10);
    feed((c - u'A' + 10) % 10);
  }
  feed(0);
  feed(0);
  const int check = 98 - remainder;
  return std::u16string(country) + static_cast<char16_t>(u'0' + check / 10) +
         static_cast<char16_t>(u'0' + check % 10) + bban;
}

Job MakeJob(std::mt19937& rng) {
  Job job;
  PaymentDoc& d = job.doc;
  d.DocNumber = u"000" + Digits(rng, 5);
  d.DocDate =
      Date::FromCivil(2024, 1 + static_cast<int>(rng() % 12), 1 + static_cast<int>(rng() % 28));
  d.PayerCode = Digits(rng, 9);
  d.PayerName = Pick(rng, kCompanies);
  d.PayerBankCode = u"70440";
  d.PayerAccount = Iban(rng, u"LT", 16);
  d.Amount = Currency::FromRaw((static_cast<int64_t>(rng() % 100000000) + 1) * 100);
  if (rng() % 10 < 7) {
    job.doc_type = 1;
    d.CurrencyCode = u"EUR";
    d.PayeeCode = rng() % 2 ? Digits(rng, 9) : u"";
    d.PayeeName = Pick(rng, kCompanies);
    d.PayeeBankCode = u"73000";
    d.PayeeAccount = Iban(rng, u"LT", 16);
    d.PurposeCode = rng() % 4 == 0 ? Digits(rng, 4) : u"";
    d.Purpose = Purpose(rng, 138);  // room for the enclosing quotes
  } else {
    job.doc_type = 2;
    d.PaymentType = 1 + static_cast<int32_t>(rng() % 3);
    d.CurrencyCode = rng() % 2 ? u"USD" : u"EUR";
    d.PayeeBankSwift = u"DEUTDEFF";
    d.PayeeBankCode = rng() % 2 ? Digits(rng, 8) : u"";
    d.PayeeBankName = Pick(rng, kBanks);
    d.PayeeBankAddress = Pick(rng, kAddresses);
    d.PayeeAccount = Iban(rng, u"DE", 18);
    d.PayeeName = Pick(rng, kForeignNames);
    d.PayeeAddress = Pick(rng, kAddresses);
    d.Purpose = Purpose(rng, 160);
    d.ForeignBankCharges = 1 + static_cast<int32_t>(rng() % 3);
    if (d.ForeignBankCharges != 3) {
      d.ChargesAccount = Iban(rng, u"LT", 16);
      d.ChargesCurrency = u"EUR";
    }
  }
  return job;
}

// --- The naive writer --------------------------------------------------------

class NaiveWriter {
 public:
  NaiveWriter() {
    for (int byte = 0x80; byte < 0x100; ++byte) {
      const std::u16string c = cp1257::Decode(std::string(1, static_cast<char>(byte)));
      to_ansi_[c[0]] = static_cast<char>(byte);
    }
  }

  std::string Line(const Job& job) {
    const PaymentDoc& d = job.doc;
    std::string line;
    Add(line, DocNumber(d.DocNumber));
    Add(line, DocDate(d.DocDate));
    if (job.doc_type == 1) {
      Add(line, d.PayerCode);
      Add(line, d.PayerName);
      Add(line, d.PayerBankCode);
      Add(line, d.PayerAccount);
      Add(line, Amount(d.Amount));
      Add(line, d.CurrencyCode);
      Add(line, d.PayeeCode);
      Add(line, d.PayeeName);
      Add(line, d.PayeeBankCode);
      Add(line, d.PayeeAccount);
      Add(line, u"");
      Add(line, d.PurposeCode);
      Add(line, d.Purpose.size() <= 140 ? d.Purpose : d.AltPurpose.substr(0, 138));
    } else {
      Add(line, IntToText(d.PaymentType));
      Add(line, d.CurrencyCode);
      Add(line, Amount(d.Amount));
      Add(line, d.PayerAccount);
      Add(line, d.PayerBankCode);
      for (int i = 0; i < 6; ++i) Add(line, u"");
      Add(line, d.PayeeBankSwift);
      Add(line, d.PayeeBankCode);
      AddSplit(line, d.PayeeBankName, 2);
      AddSplit(line, d.PayeeBankAddress, 2);
      Add(line, d.PayeeAccount);
      AddSplit(line, d.PayeeName, 2);
      AddSplit(line, d.PayeeAddress, 2);
      AddSplit(line, d.Purpose, 4);
      Add(line, IntToText(d.ForeignBankCharges));
      for (int i = 0; i < 3; ++i) Add(line, u"");
      Add(line, d.ChargesAccount);
      Add(line, d.ChargesCurrency);
    }
    line.pop_back();
    return line;
  }

 private:
  static std::u16string DocNumber(const std::u16string& text) {
    long long value = 0;
    for (char16_t c : text) {
      if (c == u' ') continue;
      if (c < u'0' || c > u'9') break;
      value = value * 10 + (c - u'0');
    }
    return IntToText(value);
  }
  static std::u16string DocDate(Date date) {
    const CivilDateTime c = date.ToCivil();
    char text[16];
    std::snprintf(text, sizeof text, "%04d.%02d.%02d", c.year, c.month, c.day);
    return Utf8ToU16(text);
  }
  static std::u16string Amount(Currency amount) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", amount.ToDouble());
    return Utf8ToU16(text);
  }
  static bool Encloses(const std::u16string& value) {
    return value.find_first_of(u" \"") != std::u16string::npos;
  }
  static size_t QuotedSize(const std::u16string& value) {
    size_t size = value.size() + (Encloses(value) ? 2 : 0);
    for (char16_t c : value) size += c == u'"';
    return size;
  }
  void Add(std::string& line, const std::u16string& value) {
    std::string field;
    for (char16_t c : value) {
      const char ansi = c < 0x80 ? static_cast<char>(c) : Ansi(c);
      field += ansi;
      if (c == u'"') field += ansi;
    }
    if (Encloses(value)) field = "\"" + field + "\"";
    line += field + ",";
  }
  void AddSplit(std::string& line, std::u16string rest, int parts) {
    for (int part = 0; part < parts; ++part) {
      const size_t quoted = QuotedSize(rest);
      if (quoted > 35) {
        const size_t quotes = quoted - rest.size() + std::count(rest.begin(), rest.end(), u'"');
        Add(line, rest.substr(0, 35 - quotes));
        rest = rest.substr(35 - quotes);
      } else {
        Add(line, rest);
        rest.clear();
      }
    }
  }
  char Ansi(char16_t c) const {
    const auto it = to_ansi_.find(c);
    return it == to_ansi_.end() ? '?' : it->second;
  }

  std::unordered_map<char16_t, char> to_ansi_;
};

// --- Runs ----------------------------------------------------------------

// A run counts its documents per kind in 16 bits: about 70% of these are local,
// some 28,000, well below 32,767.
constexpr size_t kDocsPerRun = 40000;

size_t RunsFor(size_t count) { return (count + kDocsPerRun - 1) / kDocsPerRun; }
size_t RunBegin(size_t run) { return run * kDocsPerRun; }
size_t RunEnd(size_t run, size_t count) { return std::min(count, (run + 1) * kDocsPerRun); }
// Each run has its own end date and so its own pair of files.
Date RunDate(size_t run) {
  return Date(Date::FromCivil(2024, 1, 1).serial() + static_cast<double>(run));
}
std::string RunFile(size_t run, const char* ext) {
  return U16ToUtf8(RegionalSettings::FormatDatePattern(RunDate(run), u"YYMMDD")) + "." + ext;
}

// ExportDoc only reads the document, so the jobs are passed as they are.
Timing ComponentRun(std::vector<Job>& jobs, size_t count, const std::string& folder) {
  std::ostringstream console;
  auto host = InstallBenchHost(console);
  for (size_t run = 0; run < RunsFor(count); ++run) {
    host->Driver().ExpectShow(
        u"SelectFilesDlg", {hostkit::Type(u"edPath", Utf8ToU16(folder)), hostkit::Click(u"btOk")});
  }
  const Stopwatch watch;
  {
    CBankCl_VB bank;
    for (size_t run = 0; run < RunsFor(count); ++run) {
      bank.BeginExport(Date(), RunDate(run));
      for (size_t i = RunBegin(run); i < RunEnd(run, count); ++i) {
        Job& job = jobs[i % jobs.size()];
        bank.ExportDoc(job.doc_type, job.doc);
      }
      bool by_error = false;
      bank.EndExport(by_error);
    }
  }
  const Timing timing = watch.Elapsed();
  // The summary of the last run is the last message the console shows.
  std::string shown = console.str();
  while (!shown.empty() && shown.back() == '\n') shown.pop_back();
  if (const size_t at = shown.rfind("\n\n"); !shown.empty()) {
    std::string summary = shown.substr(at == std::string::npos ? 0 : at + 2);
    std::replace(summary.begin(), summary.end(), '\n', ' ');
    std::cout << "last run's summary: " << summary << "\n";
  }
  host::HostLibrary::Install(nullptr);
  return timing;
}

Timing NaiveRun(const std::vector<Job>& jobs, size_t count, const std::string& folder) {
  const Stopwatch watch;
  NaiveWriter writer;
  for (size_t run = 0; run < RunsFor(count); ++run) {
    std::ofstream dp(folder + "/naive_" + RunFile(run, "mok"), std::ios::binary);
    std::ofstream fp(folder + "/naive_" + RunFile(run, "tar"), std::ios::binary);
    for (size_t i = RunBegin(run); i < RunEnd(run, count); ++i) {
      const Job& job = jobs[i % jobs.size()];
      (job.doc_type == 1 ? dp : fp) << writer.Line(job) << "\r\n";
    }
  }
  return watch.Elapsed();
}

bool SameBytes(const std::string& a, const std::string& b) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  if (!fa || !fb) return false;
  std::istreambuf_iterator<char> ia(fa), ib(fb), end;
  return std::equal(ia, end, ib, end);
}

// --- The documents as the program's JSON -----------------------------------

std::string JsonText(const std::u16string& text) {
  std::string out = "\"";
  for (char c : U16ToUtf8(text)) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

void WriteJson(const std::string& path, long local, long foreign) {
  std::ofstream out(path, std::ios::binary);
  std::mt19937 rng(20240131);
  out << "[\n";
  bool first = true;
  while (local > 0 || foreign > 0) {
    const Job job = MakeJob(rng);
    long& left = job.doc_type == 1 ? local : foreign;
    if (left == 0) continue;
    --left;
    const PaymentDoc& d = job.doc;
    const CivilDateTime date = d.DocDate.ToCivil();
    char date_text[16];
    std::snprintf(date_text, sizeof date_text, "%04d-%02d-%02d", date.year, date.month, date.day);
    out << (first ? "" : ",\n") << "{\"DocType\":" << job.doc_type;
    first = false;
    const std::pair<const char*, const std::u16string*> texts[] = {
        {"DocNumber", &d.DocNumber},
        {"PayerCode", &d.PayerCode},
        {"PayerName", &d.PayerName},
        {"PayerBankCode", &d.PayerBankCode},
        {"PayerAccount", &d.PayerAccount},
        {"CurrencyCode", &d.CurrencyCode},
        {"PayeeCode", &d.PayeeCode},
        {"PayeeName", &d.PayeeName},
        {"PayeeBankCode", &d.PayeeBankCode},
        {"PayeeAccount", &d.PayeeAccount},
        {"PurposeCode", &d.PurposeCode},
        {"Purpose", &d.Purpose},
        {"PayeeBankSwift", &d.PayeeBankSwift},
        {"PayeeBankName", &d.PayeeBankName},
        {"PayeeBankAddress", &d.PayeeBankAddress},
        {"PayeeAddress", &d.PayeeAddress},
        {"ChargesAccount", &d.ChargesAccount},
        {"ChargesCurrency", &d.ChargesCurrency}};
    for (const auto& [name, value] : texts) {
      if (!value->empty()) out << ",\"" << name << "\":" << JsonText(*value);
    }
    out << ",\"DocDate\":\"" << date_text << "\",\"Amount\":\"" << d.Amount.raw() / 10000 << "."
        << std::to_string(10000 + d.Amount.raw() % 10000).substr(1) << "\"";
    if (job.doc_type != 1) {
      out << ",\"PaymentType\":" << d.PaymentType
          << ",\"ForeignBankCharges\":" << d.ForeignBankCharges;
    }
    out << "}";
  }
  out << "\n]\n";
}

int Run(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--json") {
    WriteJson(argv[2], std::atol(argv[3]), std::atol(argv[4]));
    return 0;
  }
  const size_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
  std::string folder;
  if (argc > 2) {
    folder = argv[2];
  } else {
    char pattern[] = "/tmp/export_bench_XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
      std::perror("mkdtemp");
      return 1;
    }
    folder = pattern;
  }

  std::mt19937 rng(20240131);
  std::vector<Job> jobs;
  for (int i = 0; i < 4096; ++i) jobs.push_back(MakeJob(rng));

  const Timing component = ComponentRun(jobs, count, folder);
  const Timing naive = NaiveRun(jobs, count, folder);
  bool same = true;
  uintmax_t size = 0;
  for (size_t run = 0; run < RunsFor(count); ++run) {
    for (const char* ext : {"mok", "tar"}) {
      const std::string name = folder + "/" + RunFile(run, ext);
      same = same && SameBytes(name, folder + "/naive_" + RunFile(run, ext));
      size += std::filesystem::file_size(name);
    }
  }

  std::printf("documents %zu in %zu runs, bytes written %ju\n", count, RunsFor(count), size);
  for (const auto& [name, t] : {std::pair{"component", component}, std::pair{"naive    ", naive}}) {
    std::printf("%s cpu %.3f s, %.0f docs/s (wall %.3f s, %.0f docs/s)\n", name, t.cpu,
                static_cast<double>(count) / t.cpu, t.wall, static_cast<double>(count) / t.wall);
  }
  std::printf("same bytes %s\n", same ? "yes" : "NO");
  std::printf("ratio %.2f\n", component.cpu / naive.cpu);

  if (argc <= 2) std::filesystem::remove_all(folder);
  return same ? 0 : 1;
}

}  // namespace
}  // namespace norv::bench

int main(int argc, char** argv) { return norv::bench::Run(argc, argv); }
