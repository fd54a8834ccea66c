// The job layer's own catalogues, one JSON line a case: tests/data/payment_reader
// (an input and the documents it holds or the one error naming the document and
// the key), tests/data/payment_checks (documents, each its kind's base with
// changes, or copies of it by "Copies", and the problems reported in order as [index, field, rule,
// level]) and tests/data/rate_changes (rates stored, the rates a load writes, a zero rate deleting,
// and [currency, type, date, old, new, a part of the warning or ""] for each change; cash buying
// rates are of type "CB", cash selling "CS").
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "hostkit/database.h"
#include "jobs/json_values.h"
#include "jobs/payment_check.h"
#include "jobs/payment_reader.h"
#include "jobs/rate_changes.h"
#include "runtime/com_error.h"
#include "runtime/text.h"
#include "support/data_files.h"
#include "support/recording_host.h"

namespace norv::jobs {
namespace {

using Json = nlohmann::json;

std::vector<Json> Cases(const std::string& kind) {
  std::ifstream in(testing::DataPath(kind, "cases.jsonl"));
  std::vector<Json> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(Json::parse(line));
  EXPECT_GE(lines.size(), 10u) << kind;
  return lines;
}

TEST(PaymentReaderTest, ReadsEveryKindOfFieldFromAnArrayAndFromLines) {
  const std::string local =
      R"({"DocType": 1, "DocNumber": "000125", "DocDate": "2004-03-15", "PayeeName": "Tiekėjas",)"
      R"( "Amount": "1234.5", "Unnamed17": -9223372036854775808, "PaymentType": -3})";
  const std::string foreign = R"({"DocType": 2, "Amount": 2500, "ChargesCurrency": null})";
  for (const std::string& in : {"[" + local + ",\n" + foreign + "]", local + "\n" + foreign}) {
    std::vector<PaymentEntry> docs;
    ReadPaymentsFromMemory(in, "p.json", [&docs](int64_t index, PaymentEntry& entry) {
      EXPECT_EQ(index, static_cast<int64_t>(docs.size()));
      docs.push_back(entry);
    });
    ASSERT_EQ(docs.size(), 2u) << in;
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
      const std::string said = U16ToUtf8(error.description());
      EXPECT_EQ(error.number(), c.value("error", 0)) << said;
      EXPECT_EQ(error.source(), u"jobs");
      EXPECT_NE(said.find(c["says"].get<std::string>()), std::string::npos) << said;
    }
  }
}

TEST(PaymentCheckTest, EachRuleWithTheInputThatBreaksIt) {
  const std::vector<Json> lines = Cases("payment_checks");
  const Json& base = lines.front().at("Base");
  for (size_t i = 1; i < lines.size(); ++i) {
    const Json& test = lines[i];
    std::string file;
    for (const Json& changes : test.at("Docs")) {
      Json doc = base.at(std::to_string(changes.at("DocType").get<int>()));
      doc.update(changes);
      // "Copies": N documents that differ by their amounts, 1000.00 upwards.
      const int copies = doc.value("Copies", 1);
      doc.erase("Copies");
      for (int k = 0; k < copies; ++k) {
        if (copies > 1) doc["Amount"] = std::to_string(1000 + k) + ".00";
        file += doc.dump() + "\n";
      }
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
    EXPECT_EQ(reported, test.at("Expect")) << test.at("Case");
  }
}

// Writes [currency, type, date, rate] as the component's rate writer does:
// insert, replace, or delete for a zero rate.
void WriteRate(hostkit::Database& db, const Json& rate) {
  const std::string key = "'" + rate[0].get<std::string>() + "', '" + rate[1].get<std::string>() +
                          "', julianday('" + rate[2].get<std::string>() +
                          "') - 2415018.5";  // the day serial
  const int64_t raw = std::llround(rate[3].get<double>() * 10000);
  db.Execute(raw == 0 ? "DELETE FROM book_REFCurrencyRate WHERE (CurrencyCode, RateTypeCode,"
                        " DateRate) = (" +
                            key + ")"
                      : "INSERT INTO book_REFCurrencyRate (CurrencyCode, RateTypeCode, DateRate,"
                        " Rate) VALUES (" +
                            key + ", " + std::to_string(raw) +
                            ") ON CONFLICT (CurrencyCode, RateTypeCode, DateRate) DO UPDATE"
                            " SET Rate = excluded.Rate");
}

TEST(RateChangesTest, EachWarningWithTheLoadThatCausesIt) {
  for (const Json& test : Cases("rate_changes")) {
    testing::TempFolder folder;
    auto db = hostkit::Database::Open(folder.File("cb.db"));
    for (const Json& rate : test.at("Stored")) WriteRate(*db, rate);
    const CheckedRateLoad load = RunCheckedRateLoad(
        db,
        [] {
          return CashRateTypes{u"CB", u"CS"};
        },
        [&] {
          for (const Json& rate : test.at("Load")) WriteRate(*db, rate);
        },
        [](const std::vector<RateChange>&) { return true; });
    Json reported = Json::array();
    for (const RateChange& change : load.changes) {
      auto rate = [](const std::optional<Currency>& r) { return r ? Json(r->ToDouble()) : Json(); };
      reported.push_back({U16ToUtf8(change.currency), U16ToUtf8(change.rate_type),
                          DateText(change.date), rate(change.old_rate), rate(change.new_rate),
                          U16ToUtf8(change.warning)});
    }
    // The warning only needs to hold the part the case names.
    for (size_t i = 0; i < reported.size() && i < test.at("Expect").size(); ++i) {
      const std::string part = test["Expect"][i][5], warning = reported[i][5];
      if (!part.empty() && warning.find(part) != std::string::npos) reported[i][5] = part;
    }
    EXPECT_EQ(reported, test.at("Expect")) << test.at("Case");
  }
}

}  // namespace
}  // namespace norv::jobs
