// The streaming payment reader and the payment check, case by case from
// tests/data/payment_reader (an input and the documents it holds or the one
// error naming the document and the key) and tests/data/payment_checks (a few
// documents, each its kind's base with changes, and the problems reported for
// them in order as [index, field, rule, level]).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "jobs/payment_check.h"
#include "jobs/payment_reader.h"
#include "jobs_fixture.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace norv::jobs {
namespace {

using Json = nlohmann::json;

using testing::Cases;

TEST(PaymentReaderTest, ReadsEveryKindOfFieldFromAnArrayAndFromLines) {
  const std::string local =
      R"({"DocType": 1, "DocNumber": "000125", "DocDate": "2004-03-15", "PayeeName": "Tiekėjas",)"
      R"( "Amount": "1234.5", "Unnamed17": -9223372036854775808, "PaymentType": -3})";
  const std::string foreign = R"({"DocType": 2, "Amount": 2500, "ChargesCurrency": null})";
  for (const std::string& in : {"[" + local + ",\n" + foreign + "]", local + "\n" + foreign}) {
    SCOPED_TRACE(in);
    std::vector<PaymentEntry> docs;
    ReadPaymentsFromMemory(in, "p.json", [&docs](int64_t index, PaymentEntry& entry) {
      EXPECT_EQ(index, static_cast<int64_t>(docs.size()));
      docs.push_back(entry);
    });
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_EQ(docs[0].doc_type, 1);
    EXPECT_EQ(docs[0].doc.DocNumber, u"000125");
    EXPECT_EQ(docs[0].doc.DocDate, Date::FromCivil(2004, 3, 15));
    EXPECT_EQ(docs[0].doc.PayeeName, u"Tiekėjas");
    EXPECT_EQ(docs[0].doc.Amount, Currency::FromRaw(12345000));
    EXPECT_EQ(docs[0].doc.Unnamed17, INT64_MIN);
    EXPECT_EQ(docs[0].doc.PaymentType, -3);
    EXPECT_EQ(docs[1].doc_type, 2);
    EXPECT_EQ(docs[1].doc.Amount, Currency::FromRaw(25000000));
  }
  testing::TempFolder folder;
  folder.WriteBytes("p.json", "[" + local + "," + local + "," + foreign + "]");
  const PaymentCounts counts = ReadPayments(folder.File("p.json"), [](int64_t, PaymentEntry&) {});
  EXPECT_EQ(counts.local, 2);
  EXPECT_EQ(counts.foreign, 1);
  try {
    ReadPayments(folder.File("nera.json"), [](int64_t, PaymentEntry&) {});
    ADD_FAILURE() << "no error";
  } catch (const ComError& error) {
    EXPECT_EQ(error.number(), kErrFileNotFound);
    EXPECT_EQ(error.description(),
              u"File not found: '" + Utf8ToU16(folder.File("nera.json")) + u"'");
  }
}

TEST(PaymentReaderTest, EachBadInputEndsInOneErrorNamingTheDocumentAndTheKey) {
  for (const Json& c : Cases("payment_reader")) {
    std::string in = c["input"];
    if (c.value("latin1", false)) {  // each character U+0000..U+00FF stands for one byte
      in.clear();
      for (char16_t ch : Utf8ToU16(c["input"].get<std::string>())) in += static_cast<char>(ch);
    }
    SCOPED_TRACE(c.dump());
    try {
      const PaymentCounts counts =
          ReadPaymentsFromMemory(in, "p.json", [](int64_t, PaymentEntry&) {});
      EXPECT_FALSE(c.contains("error"));
      EXPECT_EQ(counts.local + counts.foreign, c.value("count", -1));
    } catch (const ComError& error) {
      ASSERT_TRUE(c.contains("error")) << U16ToUtf8(error.description());
      EXPECT_EQ(error.number(), c["error"].get<int>());
      EXPECT_EQ(error.source(), u"jobs");
      EXPECT_NE(U16ToUtf8(error.description()).find(c["says"].get<std::string>()),
                std::string::npos)
          << U16ToUtf8(error.description());
    }
  }
}

TEST(PaymentCheckTest, EachRuleWithTheInputThatBreaksIt) {
  const std::vector<Json> lines = Cases("payment_checks");
  const Json& base = lines.front().at("Base");
  for (size_t i = 1; i < lines.size(); ++i) {
    const Json& test = lines[i];
    SCOPED_TRACE(test.at("Case").get<std::string>());
    std::string file;
    for (const Json& changes : test.at("Docs")) {
      Json doc = base.at(std::to_string(changes.at("DocType").get<int>()));
      doc.update(changes);
      file += doc.dump() + "\n";
    }
    PaymentCheck check(test.value("CodePage", 1257) == 775 ? BankCodePage::k775
                                                           : BankCodePage::k1257);
    std::vector<PaymentProblem> problems;
    ReadPaymentsFromMemory(file, "case", [&](int64_t, PaymentEntry& entry) {
      check.Add(entry.doc_type, entry.doc, problems);
    });
    Json reported = Json::array();
    for (const PaymentProblem& p : problems) {
      reported.push_back({p.index, U16ToUtf8(p.field), p.rule,
                          p.level == ProblemLevel::kError ? "error" : "warning"});
    }
    EXPECT_EQ(reported, test.at("Expect"));
  }
}

}  // namespace
}  // namespace norv::jobs
