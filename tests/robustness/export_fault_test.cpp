// Fault injection into an export run: every file-system call of a run of
// local and foreign payments is made to fail in turn, as a full disk, a denied
// permission and an I/O error. The host plays its part as a careful host does:
// when a call raises, it ends the run with EndExport(true). Whatever fails:
//   - the failure reaches the host as the runtime error of that errno, raised
//     or reported, and no error of another number appears;
//   - a run the host was not told about is a complete run: both files under
//     their names, every line in them, the summary shown;
//   - no file but the DP and FP files and their ".bak" backups appears, and
//     each holds exactly the lines accepted so far (a failed write may lose the
//     unwritten tail of the buffer, and says so);
//   - after EndExport(true) that ends normally, the lines are in ".bak" files
//     only, and the notice names the last backup made.
#include <algorithm>
#include <cerrno>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "component/cbankcl_vb.h"
#include "core/records.h"
#include "host/message_window.h"
#include "robustness_fixture.h"
#include "runtime/com_error.h"
#include "runtime/text.h"
#include "support/fault_injecting_file_system.h"

namespace norv::testing {
namespace {

constexpr char kDP[] = "240131.mok";
constexpr char kFP[] = "240131.tar";
const std::string kDPBak = std::string(kDP) + ".bak";
const std::string kFPBak = std::string(kFP) + ".bak";

// How the host ends the run.
enum class Ending {
  kSummary,  // EndExport(false) after the last document
  kByError,  // EndExport(true) after the last document: the host failed elsewhere
};

struct RunSize {
  const char* name;
  int documents;       // local and foreign, alternating
  size_t purpose_len;  // long purposes make the files outgrow one write buffer
};
constexpr RunSize kSmall{"Small", 5, 15};
constexpr RunSize kLarge{"Large", 900, 130};

PaymentDoc Doc(int index, bool local, size_t purpose_len) {
  PaymentDoc doc;
  doc.DocNumber = IntToText(index + 1);
  doc.DocDate = Date::FromCivil(2024, 1, 31);
  doc.PayerBankCode = u"70440";
  doc.PayerAccount = u"LT123456789012345678";
  doc.Amount = Currency::FromInteger(100 + index);
  doc.PayeeAccount = u"LT876543210987654321";
  doc.PayeeName = u"Tiekėjas " + IntToText(index);
  std::u16string purpose = u"Sąskaita " + IntToText(index);
  purpose.resize(std::min<size_t>(purpose_len, 140), u'.');
  doc.Purpose = purpose;
  if (local) {
    doc.CurrencyCode = u"EUR";
  } else {
    doc.CurrencyCode = u"USD";
    doc.PaymentType = 1;
    doc.PayeeBankName = u"Bank of Somewhere";
    doc.ForeignBankCharges = 3;
  }
  return doc;
}

struct Outcome {
  std::vector<ComError> raised;  // to the host, in order
  std::vector<ReportedError> reported;
  std::vector<MessageCall> messages;
  bool by_error = false;           // the host ended the run with EndExport(true)
  bool ended_by_error_ok = false;  // ... and that call ended normally
  int accepted_local = 0;
  int accepted_foreign = 0;
  std::vector<std::string> files;
  std::map<std::string, std::string> bytes;
  bool fault_fired = false;
};

struct Fault {
  FileOp op;
  int nth = 0;  // 0: none
  int errno_value = 0;
};

void EndByError(CBankCl_VB& bank, Outcome& out) {
  out.by_error = true;
  try {
    bool by_error = true;
    bank.EndExport(by_error);
    out.ended_by_error_ok = true;
  } catch (const ComError& again) {
    out.raised.push_back(again);
  }
}

// One run in a fresh folder under a fresh host, documents alternating between
// local and foreign. With `old_backups` the folder already holds ".bak" files
// of both names from an earlier run.
Outcome RunExport(const RunSize& size, Ending ending, const Fault& fault, bool old_backups,
                  bool foreign_first) {
  Outcome out;
  ScopedRecordingHost host;
  TempFolder folder;
  if (old_backups) {
    folder.WriteBytes(kDPBak, "old DP\r\n");
    folder.WriteBytes(kFPBak, "old FP\r\n");
  }
  FaultInjectingFileSystem faults;
  ScopedFileSystem installed(faults);
  if (fault.nth > 0) faults.FailNth(fault.op, fault.nth, fault.errno_value);
  {
    auto bank = std::make_unique<CBankCl_VB>();
    try {
      host->Driver().ExpectShow(
          u"SelectFilesDlg", {hostkit::Type(u"edPath", folder.u16path()), hostkit::Click(u"btOk")});
      bank->BeginExport(Date(), Date::FromCivil(2024, 1, 31));
      for (int i = 0; i < size.documents; ++i) {
        const bool local = (i % 2 == 0) != foreign_first;
        int32_t type = local ? 1 : 2;
        PaymentDoc doc = Doc(i, local, size.purpose_len);
        bank->ExportDoc(type, doc);
        ++(local ? out.accepted_local : out.accepted_foreign);
      }
    } catch (const ComError& error) {
      // A failed document: the host ends the run by error.
      out.raised.push_back(error);
      EndByError(*bank, out);
    }
    // The run went through: the host ends it as it chose, and abandons it when
    // the summary fails.
    if (!out.by_error) {
      bool by_error = ending == Ending::kByError;
      try {
        bank->EndExport(by_error);
        out.by_error = by_error;
        out.ended_by_error_ok = by_error;
      } catch (const ComError& error) {
        out.raised.push_back(error);
        if (!by_error) EndByError(*bank, out);
      }
    }
    bank.reset();  // what teardown meets goes to the host's error report
  }
  out.fault_fired = fault.nth > 0 && faults.Calls(fault.op) >= fault.nth;
  out.reported = host->Errors();
  out.messages = host->Messages();
  out.files = Listing(folder.path());
  for (const std::string& name : out.files) out.bytes[name] = folder.ReadBytes(name);
  return out;
}

std::string Bytes(const Outcome& out, const std::string& name) {
  const auto it = out.bytes.find(name);
  return it == out.bytes.end() ? "(missing)" : it->second;
}

// The file under its own name, else its backup.
std::string Written(const Outcome& out, const std::string& name) {
  return out.bytes.count(name) ? Bytes(out, name) : Bytes(out, name + ".bak");
}

// The first `count` lines of a file's full text.
std::string FirstLines(const std::string& text, int count) {
  size_t end = 0;
  for (int i = 0; i < count; ++i) end = text.find("\r\n", end) + 2;
  return text.substr(0, end);
}

int32_t NumberOf(int errno_value) {
  switch (errno_value) {
    case ENOSPC:
      return kErrDiskFull;
    case EACCES:
      return kErrPermissionDenied;
    default:
      return kErrDeviceIo;
  }
}

const char* OpName(FileOp op) {
  static const char* const kNames[] = {"OpenWrite",  "OpenRead",        "OpenAppend",   "Write",
                                       "Read",       "Close",           "Rename",       "Delete",
                                       "Copy",       "CreateFolder",    "FolderExists", "FileTime",
                                       "FileLength", "CurrentDirectory"};
  return kNames[static_cast<int>(op)];
}

struct Scenario {
  RunSize size;
  Ending ending;
  bool old_backups;
  bool foreign_first;
};

void PrintTo(const Scenario& s, std::ostream* os) { *os << s.size.name; }

class ExportFaultTest : public ::testing::TestWithParam<Scenario> {};

TEST_P(ExportFaultTest, EveryFailingCallIsToldAndLosesNoLineSilently) {
  const Scenario& s = GetParam();
  // A clean run gives the full texts and how many calls of each kind there are.
  FaultInjectingFileSystem counter;
  Outcome clean;
  {
    ScopedFileSystem installed(counter);
    clean = RunExport(s.size, s.ending, Fault{}, s.old_backups, s.foreign_first);
  }
  ASSERT_TRUE(clean.raised.empty() && clean.reported.empty());
  const bool backed_up = s.ending == Ending::kByError;
  const std::string full_dp = clean.bytes.at(backed_up ? kDPBak : kDP);
  const std::string full_fp = clean.bytes.at(backed_up ? kFPBak : kFP);
  ASSERT_EQ(clean.accepted_local + clean.accepted_foreign, s.size.documents);

  int scenarios = 0;
  for (int op_index = 0; op_index < kFileOpCount; ++op_index) {
    const auto op = static_cast<FileOp>(op_index);
    for (int nth = 1; nth <= counter.Calls(op); ++nth) {
      for (int errno_value : {ENOSPC, EACCES, EIO}) {
        SCOPED_TRACE(std::string(OpName(op)) + " call " + std::to_string(nth) + " fails with " +
                     std::to_string(errno_value));
        const Outcome out = RunExport(s.size, s.ending, Fault{op, nth, errno_value}, s.old_backups,
                                      s.foreign_first);
        ++scenarios;
        ASSERT_TRUE(out.fault_fired);
        const int32_t number = NumberOf(errno_value);

        // Told, with the right number.
        const bool told = !out.raised.empty() || !out.reported.empty();
        for (size_t i = 0; i < out.raised.size(); ++i) {
          // A file whose creation failed still holds its number, so EndExport(true)
          // takes it for open and its backup's rename finds no file.
          const bool never_created =
              op == FileOp::kOpenWrite && i == 1 && out.raised[i].number() == kErrFileNotFound;
          if (!never_created) {
            EXPECT_EQ(out.raised[i].number(), number) << out.raised[i].what();
          }
        }
        for (const ReportedError& e : out.reported) {
          EXPECT_EQ(e.number, number) << U16ToUtf8(e.description);
        }

        // Only the run's files, each with exactly the lines accepted (a failed
        // write may have lost the tail that it held).
        for (const std::string& name : out.files) {
          const bool dp = name == kDP || name == kDPBak;
          EXPECT_TRUE(dp || name == kFP || name == kFPBak) << "unexpected file " << name;
          const std::string& text = out.bytes.at(name);
          if (s.old_backups && (text == "old DP\r\n" || text == "old FP\r\n")) continue;
          const std::string expected =
              FirstLines(dp ? full_dp : full_fp, dp ? out.accepted_local : out.accepted_foreign);
          if (op == FileOp::kWrite) {
            EXPECT_EQ(expected.compare(0, text.size(), text), 0) << name << " is no prefix";
          } else {
            EXPECT_EQ(text, expected) << name;
          }
        }
        EXPECT_FALSE(out.bytes.count(kDP) && out.bytes.count(kDPBak) && !s.old_backups);
        EXPECT_FALSE(out.bytes.count(kFP) && out.bytes.count(kFPBak) && !s.old_backups);

        if (!told) {
          // Nothing went wrong that mattered: the run is complete.
          EXPECT_EQ(out.accepted_local + out.accepted_foreign, s.size.documents);
          EXPECT_EQ(Bytes(out, backed_up ? kDPBak : kDP), full_dp);
          EXPECT_EQ(Bytes(out, backed_up ? kFPBak : kFP), full_fp);
        }
        const bool summary_shown =
            std::any_of(out.messages.begin(), out.messages.end(),
                        [](const MessageCall& m) { return m.kind == host::kMessageInformation; });
        if (summary_shown) {
          // The counts were only shown for lines that were all on the disk.
          EXPECT_EQ(out.accepted_local + out.accepted_foreign, s.size.documents);
          EXPECT_EQ(Written(out, kDP), full_dp);
          EXPECT_EQ(Written(out, kFP), full_fp);
        }
        if (out.ended_by_error_ok && !summary_shown) {
          // The lines of every file that was open are in its backup now. (After
          // the summary the files were complete and already closed.)
          EXPECT_EQ(out.bytes.count(kDP), 0u) << "DP left under its own name";
          EXPECT_EQ(out.bytes.count(kFP), 0u) << "FP left under its own name";
          ASSERT_FALSE(out.messages.empty());
          const MessageCall& notice = out.messages.back();
          EXPECT_EQ(notice.kind, host::kMessageError);
          if (out.accepted_foreign > 0) {
            EXPECT_NE(notice.text.find(Utf8ToU16(kFPBak)), std::u16string::npos);
          }
        }
      }
    }
  }
  EXPECT_GT(scenarios, 0);
  std::cout << "[          ] " << scenarios << " faults injected\n";
}

INSTANTIATE_TEST_SUITE_P(Runs, ExportFaultTest,
                         ::testing::Values(Scenario{kSmall, Ending::kSummary, false, false},
                                           Scenario{kSmall, Ending::kByError, true, true},
                                           Scenario{kLarge, Ending::kSummary, false, true},
                                           Scenario{kLarge, Ending::kByError, true, false}),
                         [](const auto& info) {
                           return std::string(info.param.size.name) +
                                  (info.param.ending == Ending::kSummary ? "EndedBySummary"
                                                                         : "EndedByError") +
                                  (info.param.foreign_first ? "ForeignFirst" : "LocalFirst");
                         });

// The consequence of the rule above, as the file layer specifies it: when the
// DP file cannot be created after the FP file was, EndExport(true) stops at the
// DP file's missing backup and the FP file keeps its own name (its lines are
// complete; the host was told twice).
TEST(ExportFaultOrderTest, FailedCreationOfTheSecondFileLeavesTheFirstUnderItsName) {
  const Outcome out = RunExport(kSmall, Ending::kSummary, Fault{FileOp::kOpenWrite, 2, ENOSPC},
                                false, /*foreign_first=*/true);
  ASSERT_EQ(out.raised.size(), 2u);
  EXPECT_EQ(out.raised[0].number(), kErrDiskFull);
  EXPECT_EQ(out.raised[1].number(), kErrFileNotFound);
  EXPECT_EQ(out.accepted_foreign, 1);
  EXPECT_EQ(out.files, std::vector<std::string>{kFP});
  EXPECT_FALSE(out.ended_by_error_ok);
}

}  // namespace
}  // namespace norv::testing
