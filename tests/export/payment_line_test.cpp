// Payment-order lines as they land in the DP and FP files. The cases are in
// tests/data/payment_lines/cases.jsonl: a document (an example with some values
// set) and either the whole line written, byte for byte, or the error raised for it.
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "export_fixture.h"
#include "support/data_files.h"

namespace norv::testing {
namespace {

PaymentDoc BaseDoc(const std::string& name) {
  PaymentDoc doc;
  if (name.find("local") != std::string::npos) doc = ExampleLocalDoc();
  if (name.find("foreign") != std::string::npos) doc = ExampleForeignDoc();
  if (name.rfind("checked-", 0) == 0) {  // charges are required in the foreign layout
    doc.ForeignBankCharges = 2;
    doc.ChargesAccount = u"LT000000000000000001";
    doc.ChargesCurrency = u"EUR";
  }
  return doc;
}

void Set(PaymentDoc& doc, const std::string& field, const nlohmann::json& value) {
  static const std::pair<const char*, std::u16string PaymentDoc::*> kTexts[] = {
      {"PayerCode", &PaymentDoc::PayerCode},
      {"PayerName", &PaymentDoc::PayerName},
      {"PayerBankCode", &PaymentDoc::PayerBankCode},
      {"PayerAccount", &PaymentDoc::PayerAccount},
      {"PayeeBankCode", &PaymentDoc::PayeeBankCode},
      {"PayeeBankSwift", &PaymentDoc::PayeeBankSwift},
      {"PayeeBankName", &PaymentDoc::PayeeBankName},
      {"PayeeAccount", &PaymentDoc::PayeeAccount},
      {"PayeeCode", &PaymentDoc::PayeeCode},
      {"PayeeName", &PaymentDoc::PayeeName},
      {"PayeeAddress", &PaymentDoc::PayeeAddress},
      {"CurrencyCode", &PaymentDoc::CurrencyCode},
      {"DocNumber", &PaymentDoc::DocNumber},
      {"PurposeCode", &PaymentDoc::PurposeCode},
      {"Purpose", &PaymentDoc::Purpose},
      {"AltPurpose", &PaymentDoc::AltPurpose},
      {"ChargesAccount", &PaymentDoc::ChargesAccount},
      {"ChargesCurrency", &PaymentDoc::ChargesCurrency}};
  for (const auto& [name, member] : kTexts) {
    if (field == name) return void(doc.*member = Utf8ToU16(value.get<std::string>()));
  }
  if (field == "Amount")
    return void(doc.Amount = Currency::FromDouble(std::stod(value.get<std::string>())));
  if (field == "PaymentType") return void(doc.PaymentType = value.get<int32_t>());
  if (field == "ForeignBankCharges") return void(doc.ForeignBankCharges = value.get<int32_t>());
  ASSERT_EQ(field, "DocDate");
  int y = 0, m = 0, d = 0, h = 0, mi = 0;
  std::sscanf(value.get<std::string>().c_str(), "%d-%d-%d %d:%d", &y, &m, &d, &h, &mi);
  doc.DocDate = Date::FromCivil(y, m, d, h, mi, 0);
}

TEST_F(ExportTest, PaymentLinesAsListed) {
  std::ifstream cases(DataPath("payment_lines", "cases.jsonl"));
  int count = 0;
  for (std::string text; std::getline(cases, text); ++count) {
    const nlohmann::json c = nlohmann::json::parse(text);
    SCOPED_TRACE(c["name"].get<std::string>());
    std::filesystem::remove(folder.File(kDPName));
    std::filesystem::remove(folder.File(kFPName));
    PaymentDoc doc = BaseDoc(c["doc"]);
    for (const auto& [field, value] : c["set"].items()) Set(doc, field, value);
    const int32_t type = c["type"];
    Begin();
    if (c.contains("line")) {
      Export(type, doc);
      End();
      std::string line;  // each character of the case stands for one byte of the file
      for (char16_t byte : Utf8ToU16(c["line"].get<std::string>())) line += static_cast<char>(byte);
      line += "\r\n";
      EXPECT_EQ(folder.ReadBytes(type == kLocal ? kDPName : kFPName), line);
      EXPECT_FALSE(folder.Exists(type == kLocal ? kFPName : kDPName));
      continue;
    }
    Export(kLocal, ExampleLocalDoc());  // an earlier good line stays alone in its file
    try {
      Export(type, doc);
      ADD_FAILURE() << "no error raised";
    } catch (const ComError& error) {
      const auto number =
          static_cast<int32_t>(std::stoll(c["error"].get<std::string>(), nullptr, 0));
      EXPECT_EQ(error.number(), number);
      if (c.contains("label")) {
        const std::u16string label = Utf8ToU16(c["label"].get<std::string>());
        EXPECT_EQ(error.source(), FieldSource(doc.DocNumber, doc.DocDate, label));
        EXPECT_EQ(error.description(),
                  FieldDescription(number, label, Utf8ToU16(c["value"].get<std::string>())));
      }
    }
    End();
    EXPECT_EQ(folder.ReadBytes(kDPName), kExampleLocalLine + "\r\n");
    EXPECT_FALSE(folder.Exists(kFPName));
    EXPECT_EQ(host->Messages().back().text, Summary(1, 0));
  }
  EXPECT_GT(count, 100);
}

TEST_F(ExportTest, ExampleLinesGoToTheirFilesAndEveryDocTypeButOneIsForeign) {
  PaymentDoc foreign = ExampleForeignDoc();  // unnamed fields do not change the line
  foreign.Unnamed5 = foreign.Unnamed12 = foreign.Unnamed23 = u"x y";
  foreign.Unnamed28 = foreign.Unnamed29 = foreign.Unnamed30 = foreign.Unnamed31 = u"\"";
  foreign.Unnamed17 = 99;
  foreign.AltPurpose = u"never read by the foreign layout";
  Begin();
  Export(kLocal, ExampleLocalDoc());
  for (int32_t type : {0, 2, -1, 7}) Export(type, foreign);
  End();
  const std::string line = kExampleForeignLine + "\r\n";
  EXPECT_EQ(folder.ReadBytes(kDPName), kExampleLocalLine + "\r\n");
  EXPECT_EQ(folder.ReadBytes(kFPName), line + line + line + line);
}

// The wait indicator is held for each call only, the converter's time included.
TEST_F(ExportTest, LineGoesThroughTheConverterInModeOneUnderAWaitIndicator) {
  int alive_while_converting = -1;
  host->SetConverter([&](const std::u16string& text, int32_t mode) {
    alive_while_converting = host->WaitIndicatorsAlive();
    return u"<" + IntToText(mode) + u">" + text;
  });
  Begin();
  Export(kLocal, ExampleLocalDoc());
  EXPECT_EQ(alive_while_converting, 1);
  Export(kForeign, ExampleForeignDoc());
  PaymentDoc bad = ExampleLocalDoc();
  bad.PayeeName.clear();
  ExportError(kLocal, bad);
  EXPECT_EQ(host->WaitIndicatorsCreated(), 3);
  EXPECT_EQ(host->WaitIndicatorsAlive(), 0);
  End();
  EXPECT_EQ(folder.ReadBytes(kDPName), "<1>" + kExampleLocalLine + "\r\n");
  EXPECT_EQ(folder.ReadBytes(kFPName), "<1>" + kExampleForeignLine + "\r\n");
  ASSERT_EQ(host->ConverterCalls().size(), 2u);
  EXPECT_EQ(U16ToUtf8(host->ConverterCalls()[0].text), kExampleLocalLine);
  EXPECT_EQ(host->LineConvertersCreated(), 1);
}

}  // namespace
}  // namespace norv::testing
