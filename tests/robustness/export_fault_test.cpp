// Fault injection into an export run: every file-system call of a run of local
// and foreign payments fails in turn (full disk, denied permission, I/O error);
// when a call raises, the host ends the run with EndExport(true). Whatever
// fails, the host is told the runtime error of that errno and no other; a run
// the host was not told about is complete; only the DP and FP files and their
// ".bak" backups appear, each with exactly the lines accepted so far (a failed
// write may lose the buffer's unwritten tail); after EndExport(true) the lines
// are in ".bak" files only and the notice names the last backup.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "component/cbankcl_vb.h"
#include "core/records.h"
#include "host/message_window.h"
#include "runtime/com_error.h"
#include "runtime/text.h"
#include "support/fault_injecting_file_system.h"
#include "support/recording_host.h"

namespace norv::testing {
namespace {

const std::string kDP = "240131.mok", kFP = "240131.tar", kDPBak = kDP + ".bak",
                  kFPBak = kFP + ".bak";

struct Scenario {
  const char* name;
  int documents;       // local and foreign, alternating
  size_t purpose_len;  // long purposes make the files outgrow one write buffer
  bool by_error;       // the host ends a run that went through with EndExport(true)
  bool old_backups;    // the folder holds ".bak" files of an earlier run
  bool foreign_first;
};

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
  doc.CurrencyCode = local ? u"EUR" : u"USD";
  if (!local) {
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
  bool ended_by_error_ok = false;  // EndExport(true) was called and ended normally
  int accepted[2] = {0, 0};        // local, foreign
  std::map<std::string, std::string> bytes;
  bool fault_fired = false;
  std::string Get(const std::string& name) const {
    return bytes.count(name) ? bytes.at(name) : "(missing)";
  }
};

// One run in a fresh folder under a fresh host; `nth` 0 injects nothing.
Outcome RunExport(const Scenario& s, FileOp op = FileOp::kWrite, int nth = 0, int err = 0) {
  Outcome out;
  ScopedRecordingHost host;
  TempFolder folder;
  if (s.old_backups) {
    folder.WriteBytes(kDPBak, "old DP\r\n");
    folder.WriteBytes(kFPBak, "old FP\r\n");
  }
  FaultInjectingFileSystem faults;
  ScopedFileSystem installed(faults);
  if (nth > 0) faults.FailNth(op, nth, err);
  {
    CBankCl_VB bank;
    const auto end = [&](const bool asked) {
      try {
        bool by_error = asked;
        bank.EndExport(by_error);
        out.ended_by_error_ok = asked;
        return true;
      } catch (const ComError& error) {
        out.raised.push_back(error);
        return false;
      }
    };
    try {
      host->Driver().ExpectShow(
          u"SelectFilesDlg", {hostkit::Type(u"edPath", folder.u16path()), hostkit::Click(u"btOk")});
      bank.BeginExport(Date(), Date::FromCivil(2024, 1, 31));
      for (int i = 0; i < s.documents; ++i) {
        const bool local = (i % 2 == 0) != s.foreign_first;
        PaymentDoc doc = Doc(i, local, s.purpose_len);
        int32_t type = local ? 1 : 2;
        bank.ExportDoc(type, doc);
        ++out.accepted[local ? 0 : 1];
      }
      // The host ends the run as it chose, and abandons it when the summary fails.
      if (!end(s.by_error) && !s.by_error) end(true);
    } catch (const ComError& error) {
      out.raised.push_back(error);  // a failed document: the host ends the run by error
      end(true);
    }
  }  // what teardown meets goes to the host's error report
  out.fault_fired = nth > 0 && faults.Calls(op) >= nth;
  out.reported = host->Errors();
  out.messages = host->Messages();
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    out.bytes[entry.path().filename()] = folder.ReadBytes(entry.path().filename());
  }
  return out;
}

// The first `count` lines of a file's full text.
std::string FirstLines(const std::string& text, int count) {
  size_t end = 0;
  for (int i = 0; i < count; ++i) end = text.find("\r\n", end) + 2;
  return text.substr(0, end);
}

class ExportFaultTest : public ::testing::TestWithParam<Scenario> {};

TEST_P(ExportFaultTest, EveryFailingCallIsToldAndLosesNoLineSilently) {
  const Scenario& s = GetParam();
  // A clean run gives the full texts and how many calls of each kind there are.
  FaultInjectingFileSystem counter;
  Outcome clean;
  {
    ScopedFileSystem installed(counter);
    clean = RunExport(s);
  }
  ASSERT_TRUE(clean.raised.empty() && clean.reported.empty());
  ASSERT_EQ(clean.accepted[0] + clean.accepted[1], s.documents);
  const std::string full[2] = {clean.bytes.at(s.by_error ? kDPBak : kDP),
                               clean.bytes.at(s.by_error ? kFPBak : kFP)};
  int scenarios = 0;
  for (int op_index = 0; op_index < kFileOpCount; ++op_index) {
    const auto op = static_cast<FileOp>(op_index);
    for (int nth = 1; nth <= counter.Calls(op); ++nth) {
      for (int err : {ENOSPC, EACCES, EIO}) {
        SCOPED_TRACE("call " + std::to_string(nth) + " of kind " + std::to_string(op_index) +
                     " fails with errno " + std::to_string(err));
        const Outcome out = RunExport(s, op, nth, err);
        ++scenarios;
        ASSERT_TRUE(out.fault_fired);
        const int32_t number = err == ENOSPC   ? kErrDiskFull
                               : err == EACCES ? kErrPermissionDenied
                                               : kErrDeviceIo;
        for (size_t i = 0; i < out.raised.size(); ++i) {
          // A file whose creation failed still holds its number, so EndExport(true)
          // takes it for open and its backup's rename finds no file.
          if (op == FileOp::kOpenWrite && i == 1 && out.raised[i].number() == kErrFileNotFound) {
            continue;
          }
          EXPECT_EQ(out.raised[i].number(), number) << out.raised[i].what();
        }
        for (const ReportedError& e : out.reported) {
          EXPECT_EQ(e.number, number) << U16ToUtf8(e.description);
        }
        for (const auto& [name, text] : out.bytes) {
          const int dp = name == kDP || name == kDPBak ? 0 : 1;
          EXPECT_TRUE(dp == 0 || name == kFP || name == kFPBak) << "unexpected file " << name;
          if (s.old_backups && (text == "old DP\r\n" || text == "old FP\r\n")) continue;
          const std::string expected = FirstLines(full[dp], out.accepted[dp]);
          if (op == FileOp::kWrite) {
            EXPECT_EQ(expected.compare(0, text.size(), text), 0) << name << " is no prefix";
          } else {
            EXPECT_EQ(text, expected) << name;
          }
        }
        if (!s.old_backups) {
          EXPECT_FALSE(out.bytes.count(kDP) && out.bytes.count(kDPBak));
          EXPECT_FALSE(out.bytes.count(kFP) && out.bytes.count(kFPBak));
        }
        bool summary_shown = false;
        for (const MessageCall& m : out.messages)
          summary_shown |= m.kind == host::kMessageInformation;
        if ((out.raised.empty() && out.reported.empty()) || summary_shown) {
          // Not told, or the counts shown: every line is on the disk.
          EXPECT_EQ(out.accepted[0] + out.accepted[1], s.documents);
          for (int f = 0; f < 2; ++f) {
            const std::string& name = f == 0 ? kDP : kFP;
            EXPECT_EQ(out.bytes.count(name) ? out.Get(name) : out.Get(name + ".bak"), full[f]);
          }
        }
        if (out.ended_by_error_ok && !summary_shown) {
          // The lines of every file that was open are in its backup now.
          EXPECT_EQ(out.bytes.count(kDP) + out.bytes.count(kFP), 0u) << "left under its own name";
          ASSERT_FALSE(out.messages.empty());
          EXPECT_EQ(out.messages.back().kind, host::kMessageError);
          if (out.accepted[1] > 0) {
            EXPECT_NE(out.messages.back().text.find(Utf8ToU16(kFPBak)), std::u16string::npos);
          }
        }
      }
    }
  }
  EXPECT_GT(scenarios, 0);
  RecordProperty("faults_injected", scenarios);
}

INSTANTIATE_TEST_SUITE_P(Runs, ExportFaultTest,
                         ::testing::Values(Scenario{"SmallSummary", 5, 15, false, false, false},
                                           Scenario{"SmallByError", 5, 15, true, true, true},
                                           Scenario{"LargeSummary", 900, 130, false, false, true},
                                           Scenario{"LargeByError", 900, 130, true, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// When the DP file cannot be created after the FP file was, EndExport(true)
// stops at the DP file's missing backup and the FP file keeps its own name.
TEST(ExportFaultOrderTest, FailedCreationOfTheSecondFileLeavesTheFirstUnderItsName) {
  const Outcome out = RunExport({"", 5, 15, false, false, true}, FileOp::kOpenWrite, 2, ENOSPC);
  ASSERT_EQ(out.raised.size(), 2u);
  EXPECT_EQ(out.raised[0].number(), kErrDiskFull);
  EXPECT_EQ(out.raised[1].number(), kErrFileNotFound);
  EXPECT_EQ(out.accepted[1], 1);
  EXPECT_EQ(out.bytes.size(), 1u);
  EXPECT_TRUE(out.bytes.count(kFP));
  EXPECT_FALSE(out.ended_by_error_ok);
}

}  // namespace
}  // namespace norv::testing
