// Shared set-up of the import tests: a recording host, a temporary folder for
// statement files, a CBankCl_VB, and a builder of valid statement lines.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "core/records.h"
#include "runtime/codepage.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"
#include "runtime/text.h"
#include "support/recording_host.h"

namespace norv::testing {

inline constexpr char16_t kAccount[] = u"LT001";

// A valid operation line of kAccount (a credit of 150 on 2024.01.15), its
// fields replaced by number (1-based); `count` cuts it to that many fields.
// Amounts are whole numbers, so the line reads the same under every preset.
inline std::u16string StatementText(const std::map<int, std::u16string>& set = {},
                                    size_t count = 32) {
  std::vector<std::u16string> fields(1);
  for (const char16_t c : std::u16string_view(
           u"00042\t2024.01.15\tLT001\t1\tEUR\tD-17\t73000\tLT601010012345678901\t0\t0\t150\t150\t"
           u"T-100\t1\tMK\t2024.01.15\tAB bankas\t\"UAB \"\"Žiedas\"\"\"\tApmokėjimas už prekes\t"
           u"123456789\t\t\t\tPavedimas\t111111111\t73000\tUAB Klientas\tVilnius\tEUR\t"
           u"LT017300010000000001\tHABALT22\tLT601010012345678902")) {
    if (c == u'\t') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  for (const auto& [number, text] : set) fields.at(number - 1) = text;
  std::u16string line;
  for (size_t i = 0; i < count && i < fields.size(); ++i) line += (i ? u"\t" : u"") + fields[i];
  return line;
}

// A document's kind, amount, side, currency and its kind, number and date:
// "1 150 C EUR/2 D-17 2024-01-15".
inline std::u16string Brief(const StatementDoc& doc) {
  return IntToText(doc.DocKind) + u" " + GeneralNumber(doc.Amount.ToDouble()) +
         (doc.IsDebit ? u" D " : u" C ") + doc.CurrencyCode + u"/" + IntToText(doc.CurrencyKind) +
         u" " + doc.DocNumber + u" " +
         (doc.OpDate.IsEmpty() ? u""
                               : RegionalSettings::FormatDatePattern(doc.OpDate, u"YYYY-MM-DD"));
}

// The document's texts in record order, "|"-separated.
inline std::u16string Texts(const StatementDoc& d) {
  return d.ClientAccount + u"|" + d.CorrAccount + u"|" + d.CorrCode + u"|" + d.Unnamed5 + u"|" +
         d.CorrBankName + u"|" + d.Comment + u"|" + d.ClientIban + u"|" + d.CorrIban;
}

// The ComError that `action` raises; a failure if it raises none.
template <typename Action>
ComError Raised(Action&& action) {
  try {
    action();
  } catch (const ComError& error) {
    return error;
  }
  ADD_FAILURE() << "no error raised";
  return ComError(0, u"", u"");
}

class ImportTest : public ::testing::Test {
 protected:
  ImportTest() {
    // A plain template makes expected descriptions read as "[label|text]".
    host->SetText(1199, u"[%0|%1]");
    head.Account = kAccount;
  }
  ~ImportTest() override { RegionalSettings::SetCurrent(RegionalSettings::LtLT()); }

  // Writes the lines in Windows-1257, each ended by CR LF; returns the name as
  // the component writes paths (folder, "\", name).
  std::u16string WriteStatement(const std::vector<std::u16string>& lines,
                                const std::string& name = "st.txt") {
    std::string bytes;
    for (const auto& line : lines) bytes += cp1257::Encode(line) + "\r\n";
    folder.WriteBytes(name, bytes);
    return folder.u16path() + u"\\" + std::u16string(name.begin(), name.end());
  }

  // BeginImport, then BeginImportByAccount with the user opening `path`.
  bool Open(const std::u16string& path, int credit_side = 0) {
    bank->BeginImport(head);
    host->Driver().ExpectShow(
        u"LoadStatementDlg",
        {hostkit::Type(u"edImpFile", path), hostkit::Tick(u"chCreateKreditDoc", credit_side),
         hostkit::Click(u"btOk")});
    return bank->BeginImportByAccount(head);
  }
  // Ends any import first, so that one test can open several statements.
  bool OpenLines(const std::vector<std::u16string>& lines) {
    bank->EndImport();
    return Open(WriteStatement(lines));
  }

  std::vector<StatementDoc> ReadAll() {
    std::vector<StatementDoc> docs;
    StatementDoc doc;
    while (bank->ImportDoc(doc)) docs.push_back(doc);
    return docs;
  }
  // The documents of a statement that must open.
  std::vector<StatementDoc> Import(const std::vector<std::u16string>& lines) {
    EXPECT_TRUE(OpenLines(lines));
    return ReadAll();
  }

  ComError OpenError(const std::vector<std::u16string>& lines) {
    return Raised([&] { OpenLines(lines); });
  }

  std::u16string TooLongDescription(const std::u16string& label, const std::u16string& text) {
    return host->Text(1197) + u"\r\n[" + label + u"|" + text + u"]";
  }

  // True while this process holds the file open.
  bool HeldOpen(const std::string& name) {
    const auto target = std::filesystem::canonical(folder.File(name));
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
      std::error_code ignored;
      if (std::filesystem::read_symlink(fd.path(), ignored) == target) return true;
    }
    return false;
  }

  ScopedRecordingHost host;
  TempFolder folder;
  std::unique_ptr<CBankCl_VB> bank = std::make_unique<CBankCl_VB>();
  StHead head;
};

}  // namespace norv::testing
