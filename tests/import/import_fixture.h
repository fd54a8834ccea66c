// Shared set-up of the import tests: a recording host, a temporary folder for
// statement files, a CBankCl_VB, and a builder of valid statement lines.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/cbankcl_vb.h"
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
  std::vector<std::u16string> fields = {u"00042",
                                        u"2024.01.15",
                                        kAccount,
                                        u"1",
                                        u"EUR",
                                        u"D-17",
                                        u"73000",
                                        u"LT601010012345678901",
                                        u"0",
                                        u"0",
                                        u"150",
                                        u"150",
                                        u"T-100",
                                        u"1",
                                        u"MK",
                                        u"2024.01.15",
                                        u"AB bankas",
                                        u"\"UAB \"\"Žiedas\"\"\"",
                                        u"Apmokėjimas už prekes",
                                        u"123456789",
                                        u"",
                                        u"",
                                        u"",
                                        u"Pavedimas",
                                        u"111111111",
                                        u"73000",
                                        u"UAB Klientas",
                                        u"Vilnius",
                                        u"EUR",
                                        u"LT017300010000000001",
                                        u"HABALT22",
                                        u"LT601010012345678902"};
  for (const auto& [number, text] : set) fields.at(number - 1) = text;
  std::u16string line;
  for (size_t i = 0; i < count && i < fields.size(); ++i) {
    if (i > 0) line += u'\t';
    line += fields[i];
  }
  return line;
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
  bool OpenLines(const std::vector<std::u16string>& lines) { return Open(WriteStatement(lines)); }

  std::vector<StatementDoc> ReadAll() {
    std::vector<StatementDoc> docs;
    StatementDoc doc;
    while (bank->ImportDoc(doc)) docs.push_back(doc);
    return docs;
  }

  // The error that opening a statement of these lines raises.
  ComError OpenError(const std::vector<std::u16string>& lines) {
    try {
      OpenLines(lines);
    } catch (const ComError& error) {
      return error;
    }
    ADD_FAILURE() << "opening raised no error";
    return ComError(0, u"", u"");
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
