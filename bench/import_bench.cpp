// Statement import throughput. Writes a statement of a million lines (about
// 300 MB, Windows-1257, five accounts, quoted names, Lithuanian text) into a
// temporary folder and times, in one run:
//   1. `wc -l` of the file (the floor of reading it at all);
//   2. a naive reader: std::getline and a split on tabs into a vector of strings;
//   3. the component: BeginImportByAccount (which reads the whole file to find
//      the account's dates) and ImportDoc until false (which reads it again).
// The naive reader and the component take turns, --repeat times (3 unless
// given); each keeps its fastest turn. Ends with "ratio R", the component's
// CPU time over the naive reader's.
//
//   import_bench [--lines N] [--repeat N] [--keep]
//   import_bench --lines N --write PATH    only writes the statement (bench/run_program.sh)
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_host.h"
#include "component/cbankcl_vb.h"
#include "core/records.h"
#include "host/host_library.h"
#include "runtime/codepage.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// CPU seconds of this process (the benchmark is single-threaded), or of its
// finished children.
double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}
double ChildCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Wall-clock and CPU time of one timed phase. On a shared machine the wall
// clock also counts the time other processes held the CPU; the CPU time does not.
struct Timing {
  double wall = 0;
  double cpu = 0;
};

long PeakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A small deterministic generator, so that every run writes the same file.
class Random {
 public:
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  uint32_t Below(uint32_t n) { return Next() % n; }

 private:
  uint32_t state_ = 2463534242u;
};

std::string Ansi(std::u16string_view text) { return norv::cp1257::Encode(text); }

void AppendDigits(std::string& out, Random& random, int count) {
  for (int i = 0; i < count; ++i) out += static_cast<char>('0' + random.Below(10));
}

void AppendAmount(std::string& out, Random& random) {
  out += std::to_string(random.Below(250000));
  out += ',';
  AppendDigits(out, random, 2);
}

// The statement: lines in date order over one year, each of one of five
// accounts; every 97th line is a balance line. Written piece by piece, never
// held whole.
uint64_t WriteStatement(const std::string& path, int lines) {
  const std::string accounts[5] = {"LT00100001", "LT00100002", "LT00200003", "LT00300004",
                                   "LT00400005"};
  const std::string bank_names[3] = {Ansi(u"\"AB SEB bankas\""), Ansi(u"\"Swedbank, AB\""),
                                     Ansi(u"\"AB Šiaulių bankas\"")};
  const std::string party_names[4] = {
      Ansi(u"\"UAB \"\"Žalgirio prekyba\"\"\""), Ansi(u"\"Jonas Petraitis\""),
      Ansi(u"\"UAB \"\"Šiaurės vėjas\"\"\""), Ansi(u"\"VšĮ Ąžuolynas\"")};
  const std::string comments[3] = {Ansi(u"Už prekes pagal sąskaitą Nr. 17"),
                                   Ansi(u"Darbo užmokestis už sausį"),
                                   Ansi(u"Permokos grąžinimas")};
  const std::string means = Ansi(u"Pavedimas");
  const std::string address = Ansi(u"Gedimino pr. 12, Vilnius");

  std::ofstream out(path, std::ios::binary);
  Random random;
  std::string line;
  std::string chunk;
  uint64_t bytes = 0;
  for (int i = 0; i < lines; ++i) {
    const int day = i * 365 / lines;  // 0..364 of 2023
    const int month = 1 + day / 31 % 12;
    const int mday = 1 + day % 28;
    char date[11];
    std::snprintf(date, sizeof date, "2023.%02d.%02d", month, mday);
    const bool balance = i % 97 == 0;
    const bool credit = random.Below(2) == 0;
    line.clear();
    line += "00042\t";
    line += date;
    line += '\t';
    line += accounts[random.Below(5)];
    line += "\t1\tEUR\t";
    const bool loan = random.Below(50) == 0;
    if (loan) {
      line += "PALU";
    } else {
      line += 'D';
      AppendDigits(line, random, 7);
    }
    line += "\t73000\tLT";
    AppendDigits(line, random, 18);
    line += '\t';
    if (credit) {
      line += "0,00\t0,00\t";
      AppendAmount(line, random);
      line += "\t0,00\t";
    } else {
      AppendAmount(line, random);
      line += "\t0,00\t0,00\t0,00\t";
    }
    if (balance) {
      line += "BALANSAS";
    } else {
      line += 'T';
      AppendDigits(line, random, 9);
    }
    line += "\t1\tMK\t";
    line += date;
    line += '\t';
    line += bank_names[random.Below(3)];
    line += '\t';
    line += party_names[random.Below(4)];
    line += '\t';
    line += comments[random.Below(3)];
    line += '\t';
    AppendDigits(line, random, 9);
    line += "\t\t";
    if (random.Below(4) == 0) AppendDigits(line, random, 12);  // the client's payment code
    line += '\t';
    if (loan) {
      line += "L-";
      AppendDigits(line, random, 5);
    }
    line += '\t';
    line += means;
    line += '\t';
    AppendDigits(line, random, 9);
    line += "\t73000\t";
    line += party_names[random.Below(4)];
    line += '\t';
    if (random.Below(3) == 0) line += address;
    line += "\tEUR\tLT";
    AppendDigits(line, random, 18);
    line += "\tHABALT22XXX\tLT";
    AppendDigits(line, random, 18);
    line += "\r\n";
    chunk += line;
    if (chunk.size() > (1 << 20)) {
      out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      bytes += chunk.size();
      chunk.clear();
    }
  }
  chunk += "GALAS\r\n";
  out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
  bytes += chunk.size();
  if (!out.flush()) {
    std::cerr << "import_bench: cannot write " << path << "\n";
    std::exit(1);
  }
  return bytes;
}

Timing TimeWcL(const std::string& path) {
  const Clock::time_point start = Clock::now();
  const double cpu_start = ChildCpuSeconds();
  const std::string command = "wc -l < '" + path + "' > /dev/null";
  if (std::system(command.c_str()) != 0) std::cerr << "import_bench: wc -l failed\n";
  return {SecondsSince(start), ChildCpuSeconds() - cpu_start};
}

// The baseline: the plainest reader one would write.
Timing TimeNaive(const std::string& path, uint64_t& lines, uint64_t& fields_seen) {
  const Clock::time_point start = Clock::now();
  const double cpu_start = CpuSeconds();
  std::ifstream in(path, std::ios::binary);
  std::string line;
  std::vector<std::string> fields;
  lines = 0;
  fields_seen = 0;
  while (std::getline(in, line)) {
    fields.clear();
    size_t begin = 0;
    for (size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', begin)) {
      fields.emplace_back(line, begin, tab - begin);
      begin = tab + 1;
    }
    fields.emplace_back(line, begin);
    fields_seen += fields.size();
    ++lines;
  }
  return {SecondsSince(start), CpuSeconds() - cpu_start};
}

struct ImportCounts {
  uint64_t records = 0;
  uint64_t operations = 0;
  uint64_t balances = 0;
  norv::Currency total;
};

Timing TimeComponent(const std::string& folder, const std::string& file_name,
                     const std::u16string& account, ImportCounts& counts, norv::StHead& head) {
  std::ostringstream console;
  const auto host = norv::bench::InstallBenchHost(console);
  norv::RegionalSettings::SetCurrent(norv::RegionalSettings::LtLT());
  Timing timing;
  {
    norv::CBankCl_VB bank;
    head.Account = account;
    bank.BeginImport(head);
    // The component writes paths with "\" before the file name.
    host->Driver().ExpectShow(u"LoadStatementDlg",
                              {norv::hostkit::Type(u"edImpFile", norv::Utf8ToU16(folder) + u"\\" +
                                                                     norv::Utf8ToU16(file_name)),
                               norv::hostkit::Click(u"btOk")});
    const Clock::time_point start = Clock::now();
    const double cpu_start = CpuSeconds();
    if (!bank.BeginImportByAccount(head)) {
      std::cerr << "import_bench: the account was not found\n";
      std::exit(1);
    }
    norv::StatementDoc doc;
    while (bank.ImportDoc(doc)) {
      ++counts.records;
      if (doc.DocKind == norv::kDocOperation) ++counts.operations;
      if (doc.DocKind == norv::kDocBalance) ++counts.balances;
      counts.total = counts.total + doc.Amount;
    }
    timing = {SecondsSince(start), CpuSeconds() - cpu_start};
    bank.EndImport();
  }
  norv::host::HostLibrary::Install(nullptr);
  return timing;
}

}  // namespace

int main(int argc, char** argv) {
  int lines = 1000000;
  int repeat = 3;
  bool keep = false;
  std::string write_only;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--write" && i + 1 < argc) {
      write_only = argv[++i];
    } else if (arg == "--lines" && i + 1 < argc) {
      lines = std::atoi(argv[++i]);
    } else if (arg == "--repeat" && i + 1 < argc) {
      repeat = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--keep") {
      keep = true;
    } else {
      std::cerr
          << "usage: import_bench [--lines N] [--repeat N] [--keep] | --lines N --write PATH\n";
      return 2;
    }
  }
  if (!write_only.empty()) {
    WriteStatement(write_only, lines);
    return 0;
  }

  std::string pattern = (std::filesystem::temp_directory_path() / "norv_import_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::cerr << "import_bench: cannot make a temporary folder\n";
    return 1;
  }
  const std::string folder = pattern;
  const std::string file_name = "statement.txt";
  const std::string path = folder + "/" + file_name;

  const Clock::time_point written = Clock::now();
  const uint64_t bytes = WriteStatement(path, lines);
  std::printf("statement   %d lines, %.1f MB, written in %.2f s (%s)\n", lines + 1,
              static_cast<double>(bytes) / 1e6, SecondsSince(written), path.c_str());

  const Timing wc = TimeWcL(path);
  uint64_t naive_lines = 0;
  uint64_t naive_fields = 0;
  Timing naive;
  Timing component;
  ImportCounts counts;
  norv::StHead head;
  auto keep_fastest = [](Timing& best, const Timing& turn, int round) {
    if (round == 0 || turn.cpu < best.cpu) best.cpu = turn.cpu;
    if (round == 0 || turn.wall < best.wall) best.wall = turn.wall;
  };
  for (int round = 0; round < repeat; ++round) {
    keep_fastest(naive, TimeNaive(path, naive_lines, naive_fields), round);
    counts = ImportCounts();
    try {
      keep_fastest(component, TimeComponent(folder, file_name, u"LT00100001", counts, head), round);
    } catch (const norv::ComError& error) {
      std::cerr << "import_bench: " << error.what() << "\n";
      return 1;
    }
  }

  const double total_lines = static_cast<double>(lines + 1);
  auto report = [&](const char* name, const Timing& t) {
    std::printf("%-10s wall %7.3f s  cpu %7.3f s  %12.0f lines/s (cpu)\n", name, t.wall, t.cpu,
                total_lines / t.cpu);
  };
  report("wc -l", wc);
  report("naive", naive);
  std::printf("           %llu lines, %llu fields\n", static_cast<unsigned long long>(naive_lines),
              static_cast<unsigned long long>(naive_fields));
  report("component", component);
  const norv::RegionalSettings lt = norv::RegionalSettings::LtLT();
  std::printf(
      "           file read twice; %llu records; account %s: %llu operations, %llu balance "
      "lines, %s to %s, sum %.2f\n",
      static_cast<unsigned long long>(counts.records), norv::U16ToUtf8(head.Account).c_str(),
      static_cast<unsigned long long>(counts.operations),
      static_cast<unsigned long long>(counts.balances),
      norv::U16ToUtf8(lt.FormatShortDate(head.DateFrom)).c_str(),
      norv::U16ToUtf8(lt.FormatShortDate(head.DateTo)).c_str(), counts.total.ToDouble());
  std::printf("peak resident size %ld KiB\n", PeakResidentKiB());
  std::printf("wall-clock ratio %.2f\n", component.wall / naive.wall);

  if (!keep) std::filesystem::remove_all(folder);
  // CPU time, so that other processes on a shared machine do not skew it.
  std::printf("ratio %.2f\n", component.cpu / naive.cpu);
  return 0;
}
