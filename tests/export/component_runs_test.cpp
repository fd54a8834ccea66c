// Runs of the component kept as data. A line of tests/data/component_runs/<area>.jsonl is one
// run on a fresh recording host: its steps (host set-up, dialog scripts, the calls a host makes,
// what to look at) and the log they must leave (results, errors raised with number, source and
// description, messages shown, errors reported, files byte for byte, book contents), compared
// whole. NORV_PRINT_LOG=1 prints each log. The manifests of payment lines, statement fields,
// texts and mapping and of rate writes are played on the same runs.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "export/export_file.h"
#include "export/select_files_dlg.h"
#include "forms/form.h"
#include "import/load_statement_dlg.h"
#include "rates/load_rate.h"
#include "rates/load_rate_command.h"
#include "rates/load_rate_dlg.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"
#include "runtime/text.h"
#include "support/bank_files.h"
#include "support/data_files.h"
#include "support/recording_host.h"

namespace norv::testing {
namespace {

using Json = nlohmann::json;

Json Data(const std::string& name) { return Json::parse(DataBytes("component_runs", name)); }

std::vector<Json> JsonLines(const std::string& kind, const std::string& name) {
  std::vector<Json> rows;
  std::istringstream text(DataBytes(kind, name));
  for (std::string line; std::getline(text, line);) rows.push_back(Json::parse(line));
  if (rows.empty()) ADD_FAILURE() << "no cases in " << DataPath(kind, name);
  return rows;
}

std::u16string U16(const Json& j) { return Utf8ToU16(j.get<std::string>()); }
std::string Yes(bool b) { return b ? "true" : "false"; }

// "YYYY-MM-DD[ hh:mm]" (any separator); anything else is no date.
Date DateOf(const std::string& text) {
  int y = 0, m = 0, d = 0, h = 0, mi = 0;
  if (std::sscanf(text.c_str(), "%d%*c%d%*c%d %d:%d", &y, &m, &d, &h, &mi) < 3) return Date();
  return Date::FromCivil(y, m, d, h, mi, 0);
}

// A payment document: `values` set on its "base", one of docs.json.
PaymentDoc Doc(const Json& values) {
#define NORV_FIELD(name) \
  { #name, &PaymentDoc::name }
  static const std::pair<const char*, std::u16string PaymentDoc::*> kTexts[] = {
      NORV_FIELD(PayerCode),     NORV_FIELD(PayerName),      NORV_FIELD(PayerBankCode),
      NORV_FIELD(PayerAccount),  NORV_FIELD(PayeeBankCode),  NORV_FIELD(PayeeBankSwift),
      NORV_FIELD(PayeeBankName), NORV_FIELD(PayeeAccount),   NORV_FIELD(PayeeCode),
      NORV_FIELD(PayeeName),     NORV_FIELD(PayeeAddress),   NORV_FIELD(CurrencyCode),
      NORV_FIELD(DocNumber),     NORV_FIELD(PurposeCode),    NORV_FIELD(Purpose),
      NORV_FIELD(AltPurpose),    NORV_FIELD(ChargesAccount), NORV_FIELD(ChargesCurrency),
      NORV_FIELD(Unnamed5),      NORV_FIELD(Unnamed12),      NORV_FIELD(Unnamed23),
      NORV_FIELD(Unnamed28),     NORV_FIELD(Unnamed29),      NORV_FIELD(Unnamed30),
      NORV_FIELD(Unnamed31)};
#undef NORV_FIELD
  static const Json bases = Data("docs.json");
  PaymentDoc doc =
      values.contains("base") ? Doc(bases.at(values["base"].get<std::string>())) : PaymentDoc();
  for (const auto& [field, value] : values.items()) {
    for (const auto& [name, member] : kTexts) {
      if (field == name) doc.*member = U16(value);
    }
    if (field == "Amount") doc.Amount = Currency::FromDouble(std::stod(value.get<std::string>()));
    if (field == "PaymentType") doc.PaymentType = value;
    if (field == "ForeignBankCharges") doc.ForeignBankCharges = value;
    if (field == "Unnamed17") doc.Unnamed17 = value;
    if (field == "DocDate") doc.DocDate = DateOf(value);
  }
  return doc;
}

// The valid statement line of LT001 in statement_line.txt (a credit of 150 on 2024.01.15) with
// the fields of `set` ("number": text, 1-based) replaced; "cut" keeps that many fields.
std::u16string StatementText(const Json& set = Json::object()) {
  std::vector<std::u16string> fields(1);
  for (const char16_t c : Utf8ToU16(DataBytes("component_runs", "statement_line.txt"))) {
    if (c == u'\t') fields.emplace_back();
    if (c != u'\t' && c != u'\n') fields.back() += c;
  }
  for (const auto& [number, text] : set.items()) {
    if (number != "cut") fields.at(std::stoi(number) - 1) = U16(text);
  }
  fields.resize(std::min<size_t>(fields.size(), set.value("cut", 32)));
  std::u16string line;
  for (size_t i = 0; i < fields.size(); ++i) line += (i ? u"\t" : u"") + fields[i];
  return line;
}

// A record handed over in brief: "kind amount C|D currency/kind number date | texts".
std::string Brief(const StatementDoc& d) {
  return U16ToUtf8(
      IntToText(d.DocKind) + u" " + GeneralNumber(d.Amount.ToDouble()) +
      (d.IsDebit ? u" D " : u" C ") + d.CurrencyCode + u"/" + IntToText(d.CurrencyKind) + u" " +
      d.DocNumber + u" " +
      (d.OpDate.IsEmpty() ? u"" : RegionalSettings::FormatDatePattern(d.OpDate, u"YYYY-MM-DD")) +
      u" | " + d.ClientAccount + u"|" + d.CorrAccount + u"|" + d.CorrCode + u"|" + d.Unnamed5 +
      u"|" + d.CorrBankName + u"|" + d.Comment + u"|" + d.ClientIban + u"|" + d.CorrIban);
}

// Bytes below 0x20 (and from 0x80 when `bytes`) as \xNN.
std::string Escaped(const std::string& text, bool bytes = false) {
  std::string out;
  for (const unsigned char c : text) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    out += c < 0x20 || (bytes && c >= 0x80) ? std::string(hex) : std::string(1, char(c));
  }
  return out;
}

class ComponentRun {
 public:
  ComponentRun() {
    ThreadLoadRateDlg().lbStatus.Changed().Connect([this] {
      const std::u16string& status = ThreadLoadRateDlg().lbStatus.Caption();
      if (!status.empty()) Note("status " + U16ToUtf8(status));
    });
    doc.Unnamed5 = u"host's";
    head.Account = u"LT001";
  }
  ~ComponentRun() {
    bank.reset();
    ReleaseLoadRateDlg();
    RegionalSettings::SetCurrent(RegionalSettings::LtLT());
  }

  // Plays the steps; an error raised by one is noted and the next goes on.
  const std::vector<std::string>& Play(const Json& steps) {
    for (const Json& step : steps) {
      try {
        Do(step[0], step);
      } catch (const ComError& e) {
        Note(step[0].get<std::string>() + " ! " + std::to_string(e.number()) + " | " +
             U16ToUtf8(e.source()) + " | " + U16ToUtf8(e.description()));
      }
      for (; messages < host->Messages().size(); ++messages) {
        const MessageCall& m = host->Messages()[messages];
        Note("msg " + std::to_string(m.kind) + " " + std::to_string(m.flags) + "/" +
             std::to_string(m.default_button) + "/" + std::to_string(m.help_id) + " [" +
             U16ToUtf8(m.button1 + u"|" + m.button2 + u"|" + m.button3 + u"|" + m.button4 + u"|" +
                       m.title + u"|" + m.extra1 + m.extra2 + m.extra3) +
             "] " + U16ToUtf8(m.text));
      }
      for (; errors < host->Errors().size(); ++errors) {
        const ReportedError& e = host->Errors()[errors];
        Note("err " + std::to_string(e.number) + " | " + U16ToUtf8(e.source) + " | " +
             U16ToUtf8(e.description));
      }
    }
    return log;
  }

  void Note(std::string line) {
    for (const auto& [path, name] :
         {std::pair{folder.path(), "{folder}"}, {other.path(), "{other}"}})
      for (size_t at; (at = line.find(path)) != std::string::npos;)
        line.replace(at, path.size(), name);
    log.push_back(Escaped(line));
  }

  ScopedRecordingHost host;
  TempFolder folder, other;
  std::unique_ptr<CBankCl_VB> bank = std::make_unique<CBankCl_VB>();
  StatementDoc doc;  // handed to ImportDoc, kept from call to call
  std::vector<std::string> log;

 private:
  std::u16string Text(const Json& j) {
    std::string text = j.get<std::string>();
    for (const auto& [name, path] :
         {std::pair{std::string("{folder}"), folder.path()}, {"{other}", other.path()}})
      for (size_t at; (at = text.find(name)) != std::string::npos;)
        text.replace(at, name.size(), path);
    return Utf8ToU16(text);
  }
  Variant Value(const Json& j) {
    if (j.is_number()) return Variant(j.get<int32_t>());
    const std::string text = j;
    if (text.rfind("@", 0) == 0) return Variant(DateOf(text.substr(1)));
    if (text.rfind("$", 0) == 0) return Variant(Currency::FromDouble(std::stod(text.substr(1))));
    return Variant(Utf8ToU16(text));
  }
  std::vector<hostkit::UserAction> Script(const Json& actions) {
    std::vector<hostkit::UserAction> script;
    for (const Json& a : actions) {
      const std::string kind = a[0];
      if (kind == "type") script.push_back(hostkit::Type(Text(a[1]), Text(a[2])));
      if (kind == "tick") script.push_back(hostkit::Tick(Text(a[1]), a[2]));
      if (kind == "pick") script.push_back(hostkit::Pick(Text(a[1]), Text(a[2])));
      if (kind == "click") script.push_back(hostkit::Click(Text(a[1])));
      if (kind == "close") script.push_back(hostkit::Close());
      if (kind == "see") {  // the texts of the boxes named, whether shown, which form it is
        script.push_back(hostkit::Call([this, a](forms::Form& form) {
          std::string line = "see";
          for (size_t i = 1; i < a.size(); ++i)
            line += " " + a[i].get<std::string>() + "=" +
                    U16ToUtf8(static_cast<forms::TextBox*>(form.FindControl(U16(a[i])))->Text());
          const auto at = std::find(forms_seen.begin(), forms_seen.end(), &form);
          if (at == forms_seen.end()) forms_seen.push_back(&form);
          Note(line + " shown " + Yes(form.IsVisible()) + " form " +
               std::to_string(std::find(forms_seen.begin(), forms_seen.end(), &form) -
                              forms_seen.begin() + 1));
        }));
      }
    }
    return script;
  }
  bool HeldOpen(const std::string& name) {
    std::error_code ignored;
    const auto target = std::filesystem::canonical(folder.File(name), ignored);
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd"))
      if (std::filesystem::read_symlink(fd.path(), ignored) == target) return true;
    return false;
  }

  void Do(const std::string& op, const Json& s) {
    RecordingHost& h = *host;
    if (op == "use") Play(Data("common.json").at(s[1].get<std::string>()));  // shared steps
    if (op == "preset") RegionalSettings::SetCurrent(RegionalSettings::Preset(Text(s[1])));
    if (op == "text") h.SetText(s[1], Text(s[2]));
    if (op == "key") h.SetPathKey(Text(s[1]), Text(s[2]));
    if (op == "choose folder") h.QueueFolderChoice(Text(s[1]));
    if (op == "fail") h.FailNext(Text(s[1]), Text(s[2]), ComError(s[3], Text(s[1]), U16(s[4])));
    if (op == "record") {  // [op, book, {field: 1 | "@date" | "$amount" | "text"}...]
      for (size_t i = 2; i < s.size(); ++i) {
        Record record;
        for (const auto& [field, value] : s[i].items()) record[Utf8ToU16(field)] = Value(value);
        h.AddRecord(Text(s[1]), record);
      }
    }
    if (op == "write") {  // lines in Windows-1257 with CR LF: texts, statement lines, rate lines
      std::vector<std::string> lines;
      for (const Json& l : s[2]) {
        lines.push_back(l.is_string()            ? U16ToUtf8(Text(l))
                        : l.contains("currency") ? RateLine(l["currency"], l["rates"])
                                                 : U16ToUtf8(StatementText(l)));
      }
      (s.size() > 3 ? other : folder).WriteBytes(s[1], BankFile(lines));
    }
    if (op == "convert") {  // no more; "tag": <mode> before each line; [from, to]: replaced
      if (s.size() == 1) return h.SetConverter(nullptr);
      const bool tag = s[1] == "tag";
      const std::u16string from = Text(s[1]), to = s.size() > 2 ? Text(s[2]) : u"";
      h.SetConverter([this, from, to, tag](const std::u16string& text, int32_t mode) {
        if (tag) Note("converting with " + std::to_string(host->WaitIndicatorsAlive()) + " wait");
        return tag ? u"<" + IntToText(mode) + u">" + text : ReplaceAll(text, from, to);
      });
    }
    if (op == "show") h.Driver().ExpectShow(Text(s[1]), Script(s[2]));
    if (op == "new") bank = std::make_unique<CBankCl_VB>();
    if (op == "drop") bank.reset();
    if (op == "BeginExport") bank->BeginExport(DateOf(s[1]), DateOf(s[2]));
    for (int i = 0; op == "ExportDoc" && i < (s.size() > 3 ? s[3].get<int>() : 1); ++i) {
      PaymentDoc payment = Doc(s[2]);
      int32_t type = s[1];
      bank->ExportDoc(type, payment);
    }
    if (op == "EndExport") {
      bool by_error = s[1];
      bank->EndExport(by_error);
    }
    if (op == "account") head.Account = Text(s[1]);
    if (op == "head") head.DateFrom = head.DateTo = DateOf(s[1]), head.CreditSideDocs = s[2];
    if (op == "BeginImport") bank->BeginImport(head);
    if (op == "BeginImportByAccount") Note(op + " " + Yes(bank->BeginImportByAccount(head)));
    if (op == "BeginImportByAccount" || op == "see head") {
      Note("head " + U16ToUtf8(head.Account) + " " + U16ToUtf8(VariantToText(head.DateFrom)) + " " +
           U16ToUtf8(VariantToText(head.DateTo)) + " credit " + Yes(head.CreditSideDocs));
    }
    if (op == "EndImport") bank->EndImport();
    if (op == "ImportDoc") {  // [op, count, {"Comment": the host's text, "Amount": 7}]
      if (s.size() > 2)
        doc.Comment = Text(s[2].value("Comment", "")),
        doc.Amount = Currency::FromInteger(s[2].value("Amount", 0));
      for (int i = 0; i < s[1]; ++i) {
        bool read = false;
        try {
          read = bank->ImportDoc(doc);
        } catch (const ComError&) {
          Note("doc " + Brief(doc));
          throw;
        }
        Note((read ? "doc " : "ImportDoc false ") + Brief(doc));
      }
    }
    if (op == "LoadRate") static_cast<IClientBank&>(*bank).LoadRate();
    if (op == "rate dialog") {  // Run with a key and a file name
      std::u16string key = Text(s[1]), name = Text(s[2]);
      const bool ran = ThreadLoadRateDlg().Run(key, name);
      Note("Run " + Yes(ran) + " key " + U16ToUtf8(key));
    }
    if (op == "WriteRate")
      CLoadRate().WriteRate(Text(s[1]), Text(s[2]), DateOf(s[3]), Currency::FromDouble(s[4]), s[5]);
    if (op == "statement dialog") {  // Init with a key and a file name; the script, the file
      LoadStatementDlg dlg;
      std::u16string key = Text(s[1]), first;
      dlg.Init(key, Text(s[2]), true);
      Note("Init key " + U16ToUtf8(key) + " file " + U16ToUtf8(dlg.edImpFile.Text()) + " option " +
           Yes(dlg.chCreateKreditDoc.Visible()));
      if (s.size() < 4) return;
      h.Driver().ExpectShow(u"LoadStatementDlg", Script(s[3]));
      dlg.ShowModal();
      const bool read = dlg.ImpFile().ReadStr(first);
      Note("result " +
           U16ToUtf8(dlg.ResultText() + u" in " + dlg.ImpFile().Path() + u" name " +
                     dlg.ImpFile().FileName() + u" read " + first) +
           " " + Yes(read));
      dlg.Unload();
      Note("unloaded: result " + U16ToUtf8(dlg.ResultText()) + " open " + Yes(HeldOpen(s[4])));
      dlg.ImpFile();  // raises once unloaded
    }
    if (op == "lone SelectFilesDlg") {  // OK on a dialog that no export shows
      SelectFilesDlg lone;
      lone.btOk.Click();
      Note("loaded " + Yes(lone.IsLoaded()));
    }
    if (op == "export dialog") {  // ShowFileDlg with a prefix and a key for 2007.03.05
      if (s.size() > 3) target.DPFile().SetPath(Text(s[3])), target.FPFile().SetPath(Text(s[4]));
      Date end = Date::FromCivil(2007, 3, 5);
      const bool ok = target.ShowFileDlg(end, u"mok", u"tar", Text(s[1]), Text(s[2]));
      Note("ShowFileDlg " + Yes(ok) + " " +
           U16ToUtf8(target.DPFile().Path() + u" " + target.DPFile().FileName() + u" " +
                     target.FPFile().Path() + u" " + target.FPFile().FileName() + u" key " +
                     target.KeyPath()));
    }
    if (op == "files") {  // every file of the folder, byte for byte (its size when long)
      const TempFolder& in = s.size() > 1 ? other : folder;
      std::vector<std::string> names;
      for (const auto& e : std::filesystem::directory_iterator(in.path()))
        names.push_back(e.path().filename().string());
      std::sort(names.begin(), names.end());
      for (const std::string& name : names) {
        const std::string bytes = in.ReadBytes(name);
        log.push_back("file " + name + " " +
                      (bytes.size() > 4000 ? std::to_string(bytes.size()) : Escaped(bytes, true)));
      }
    }
    if (op == "open") Note("open " + s[1].get<std::string>() + " " + Yes(HeldOpen(s[1])));
    if (op == "book") {  // [op, book, [fields]]: the records in book order
      for (const Record& r : h.Records(Text(s[1]))) {
        std::string line = "record";
        for (const Json& f : s[2]) line += " " + U16ToUtf8(VariantToText(r.at(Text(f))));
        Note(line);
      }
    }
    for (; op == "book calls" && book_calls < h.BookCalls().size(); ++book_calls) {
      const BookCall& c = h.BookCalls()[book_calls];
      if (c.book != Text(s[1]) || c.op == u"OpenBook" || c.op == u"FindByKey") continue;
      std::string line = "call " + U16ToUtf8(c.op);
      for (const Variant& v : c.args) line += " " + U16ToUtf8(VariantToText(v));
      Note(line);
    }
    if (op == "host") {
      Note("waits " + std::to_string(h.WaitIndicatorsCreated()) + "/" +
           std::to_string(h.WaitIndicatorsAlive()) + " converters " +
           std::to_string(h.LineConvertersCreated()) + " dialog forms " +
           std::to_string(h.DialogFormsCreated()) + " problems " +
           std::to_string(h.Driver().Problems().size()) + " shown " +
           std::to_string(h.Driver().Shown().size()) + " folder requests " +
           std::to_string(h.FolderRequests().size()) + " file requests " +
           std::to_string(h.FileDialogRequests().size()));
      for (; rounds < h.RoundMoneyCalls().size(); ++rounds)
        Note("round " + U16ToUtf8(VariantToText(Variant(h.RoundMoneyCalls()[rounds].first))) + " " +
             std::to_string(h.RoundMoneyCalls()[rounds].second));
      for (; conversions < h.ConverterCalls().size(); ++conversions)
        Note("converted " + std::to_string(h.ConverterCalls()[conversions].mode) + " " +
             U16ToUtf8(h.ConverterCalls()[conversions].text));
    }
    if (op == "form value")
      Note("value " + U16ToUtf8(VariantToText(h.FormValues()[{Text(s[1]), Text(s[2])}])));
  }

  StHead head;
  CExportFile target;
  std::vector<const forms::Form*> forms_seen;
  size_t messages = 0, errors = 0, book_calls = 0, rounds = 0, conversions = 0;
};

class ComponentRuns : public ::testing::TestWithParam<const char*> {};

TEST_P(ComponentRuns, LeaveTheLogListed) {
  for (const Json& row : JsonLines("component_runs", std::string(GetParam()) + ".jsonl")) {
    SCOPED_TRACE(row["name"].get<std::string>());
    ComponentRun run;
    run.Play(row["steps"]);
    if (std::getenv("NORV_PRINT_LOG")) std::cout << Json(run.log).dump(-1, ' ', false) << "\n";
    EXPECT_EQ(run.log, row["log"].get<std::vector<std::string>>());
  }
}

INSTANTIATE_TEST_SUITE_P(Areas, ComponentRuns, ::testing::Values("export", "import", "rates"));

// tests/data/payment_lines: the line written alone in its file, or the error raised, after which
// an earlier good line stays alone in the DP file and is the only one counted.
TEST(PaymentLines, AsListed) {
  for (const Json& c : JsonLines("payment_lines", "cases.jsonl")) {
    SCOPED_TRACE(c["name"].get<std::string>());
    ComponentRun run;
    Json doc = c["set"], steps = Json::array({Json::array({"use", "export"})});
    doc["base"] = c["doc"];
    const bool written = c.contains("line");
    if (!written) steps.push_back(Json::array({"ExportDoc", 1, {{"base", "local"}}}));
    steps.push_back(Json::array({"ExportDoc", c["type"], doc}));
    steps.push_back(Json::array({"EndExport", false}));
    steps.push_back(Json::array({"files"}));
    const std::vector<std::string> log = run.Play(steps);
    std::string line;  // each character of the case stands for one byte of the file
    for (char16_t byte : U16(c.value("line", ""))) line += static_cast<char>(byte);
    if (written) {
      ASSERT_EQ(log.size(), 2u);
      EXPECT_EQ(log[1], std::string("file 240131.") + (c["type"] == 1 ? "mok " : "tar ") +
                            Escaped(line + "\r\n", true));
      continue;
    }
    const auto number = static_cast<int32_t>(std::stoll(c["error"].get<std::string>(), nullptr, 0));
    const PaymentDoc d = Doc(doc);
    const int id = number == kErrBadPaymentType ? 991 : number == kErrRequiredEmpty ? 1196 : 1197;
    std::u16string raised = u"ExportDoc ! " + IntToText(number) + u" | ";
    if (c.contains("label")) {
      raised += d.DocNumber + u" " + RegionalSettings::Current().FormatShortDate(d.DocDate) +
                u": " + U16(c["label"]) + u" | " + run.host->Text(id) + u"\r\n[" + U16(c["label"]) +
                u"|" + U16(c["value"]) + u"]";
    }
    const std::string want = Escaped(U16ToUtf8(raised));
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(c.contains("label") ? log[0] : log[0].substr(0, want.size()), want);
    EXPECT_EQ(log[1], Escaped("msg 1 1/0/0 [Gerai|||||] " +
                              U16ToUtf8(run.host->Text(987) + u"\r\n\r\n" + run.host->Text(988) +
                                        u" - 1\r\n" + run.host->Text(989) + u" - 0")));
    EXPECT_EQ(log[2], "file 240131.mok " + Data("docs.json")["local line"].get<std::string>());
  }
}

// A text of `size` characters, Lithuanian letters among them.
std::string Filler(size_t size) {
  std::u16string text;
  for (size_t i = 0; i < size; ++i) text += u"Ąž9"[i % 3];
  return U16ToUtf8(text);
}

// The log of a statement of `lines` opened for LT001 through the dialog, then `more` steps.
std::vector<std::string> Open(ComponentRun& run, const Json& lines, Json more = Json::array()) {
  more.insert(more.begin(), Json::array({"use", "open"}));
  more.insert(more.begin(), Json::array({"write", "st.txt", lines}));
  return run.Play(more);
}

std::string TooLong(ComponentRun& run, const std::string& label, const std::string& text) {
  return Escaped("BeginImportByAccount ! " + std::to_string(kErrValueTooLong) + " | " + label +
                 " | " + U16ToUtf8(run.host->Text(1197)) + "\r\n[" + label + "|" + text + "]");
}

// tests/data/statement_fields: each text field takes its maximum and fails on one more.
TEST(StatementFields, TakeTheirMaximumAndRejectOneMore) {
  for (const Row& f : Manifest("statement_fields", 3)) {
    SCOPED_TRACE(f[0]);
    for (const size_t size : {std::stoul(f[1]), std::stoul(f[1]) + 1}) {
      ComponentRun run;  // of another account (but the account field): not read as a date
      Json line = {{"3", "OTHER"}};
      line[f[0]] = Filler(size);
      EXPECT_EQ(Open(run, Json::array({line, Json::object()})).at(0),
                size == std::stoul(f[1]) ? "BeginImportByAccount true"
                                         : TooLong(run, f[2], Filler(size)));
    }
  }
}

// tests/data/statement_texts: a text in one field of a valid line.
TEST(StatementTexts, AsListed) {
  for (const Row& c : Manifest("statement_texts", 5)) {
    SCOPED_TRACE(c[0] + ": " + c[1]);
    ComponentRun run;
    Json line = Json::object();
    line[c[0]] = c[1];
    const std::string opened = Open(run, Json::array({line})).at(0);
    const std::string number = std::to_string(std::stoll(c[2], nullptr, 0));
    if (number == "0") {
      EXPECT_EQ(opened, "BeginImportByAccount true");
      if (c[0] == "17") {
        EXPECT_TRUE(run.bank->ImportDoc(run.doc));
        EXPECT_EQ(U16ToUtf8(run.doc.CorrBankName), c[4]);
      }
    } else {
      EXPECT_EQ(
          c[3].empty() ? opened.substr(0, 25 + number.size()) : opened,
          c[3].empty() ? "BeginImportByAccount ! " + number + " |" : TooLong(run, c[3], c[4]));
    }
  }
}

// tests/data/statement_mapping: the second record handed over, in brief.
TEST(StatementMapping, AsListed) {
  for (const Row& c : Manifest("statement_mapping", 2)) {
    SCOPED_TRACE(c[0]);
    ComponentRun run;
    Json line = {{"23", "A-17"}};  // the loan document number
    std::istringstream changes(c[0]);
    for (std::string change; std::getline(changes, change, ';');)
      line[change.substr(0, change.find('='))] = change.substr(change.find('=') + 1);
    const auto log = Open(run, Json::array({Json::object(), line}),
                          Json::array({Json::array({"ImportDoc", 2})}));
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[3].substr(0, c[1].size() + 7), "doc " + c[1] + " | ");
  }
}

// tests/data/rate_writes: one WriteRate, under one wait indicator, storing the rate rounded to
// four decimals or changing nothing.
TEST(RateWrites, AsListed) {
  for (const Row& c : Manifest("rate_writes", 9)) {
    SCOPED_TRACE(c[0]);
    ComponentRun run;
    RecordingHost& h = *run.host;
    run.Play(Json::array({Json::array({"use", "rate writes"}),
                          {"record", "REFCurrencyRate", Data("common.json")["USD/LB"]}}));
    if (!c[6].empty()) {
      h.AddRecord(u"REFCurrencyRateType",
                  {{u"RateTypeCode", u"T"},
                   {u"CurrencyCode", u"USD"},
                   {u"Amount", std::stoi(c[6])},
                   {u"IsReverse", c[7] == "true" ? Variant(true) : Variant(std::stoi(c[7]))}});
    }
    const auto before = h.Records(u"REFCurrencyRate");
    CLoadRate().WriteRate(Utf8ToU16(c[1]), Utf8ToU16(c[2]), DateOf(c[3]),
                          Currency::FromDouble(std::stod(c[4]) * 10000), std::stoi(c[5]));
    EXPECT_EQ(h.WaitIndicatorsCreated() * 10 + h.WaitIndicatorsAlive(), 10);
    std::vector<std::u16string> changes;
    for (const BookCall& call : h.BookCalls())
      if (call.book == u"REFCurrencyRate" && call.op != u"OpenBook" && call.op != u"FindByKey")
        changes.push_back(call.op);
    if (c[8].empty()) {
      EXPECT_TRUE(changes.empty());
      EXPECT_EQ(h.Records(u"REFCurrencyRate"), before);
      continue;
    }
    const auto stored = h.Records(u"REFCurrencyRate");
    const auto t = std::find_if(stored.begin(), stored.end(), [](const Record& r) {
      return r.at(u"RateTypeCode") == Variant(std::u16string(u"T"));
    });
    ASSERT_NE(t, stored.end());
    EXPECT_EQ(t->at(u"Rate"), Variant(Currency::FromDouble(std::stod(c[8]))));
    ASSERT_EQ(h.RoundMoneyCalls().size(), 1u);
    EXPECT_EQ(h.RoundMoneyCalls()[0].second, 4);
    EXPECT_EQ(changes.back(), u"StoreNew");
  }
}

// A LoadRate on a thread whose host fails: the error is reported and the thread's dialog form
// goes when the thread ends.
TEST(RateDialogThread, FailedRunIsReportedAndItsFormGoesAtThreadExit) {
  auto host = std::make_shared<RecordingHost>();
  std::thread([&] {
    host::HostLibrary::Install(host);
    host->FailNext(u"PathKey", u"FindByKey", ComError(3021, u"PathKey", u"No current record."));
    CBankCl_VB().LoadRate();
    host::HostLibrary::Install(nullptr);  // the failed Run still holds its dialog frame
  }).join();
  ASSERT_EQ(host->Errors().size(), 1u);
  EXPECT_EQ(host->Errors()[0].number, 3021);
  EXPECT_EQ(host->Errors()[0].source, u"PathKey");
  const auto& released = host->Releases();
  EXPECT_NE(std::find(released.begin(), released.end(), u"DialogForm 1"), released.end());
}

}  // namespace
}  // namespace norv::testing
