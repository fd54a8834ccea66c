// The payment check, rule by rule: each case of data/payment_checks.jsonl is a
// few documents (changes to a valid document of their kind) and the problems
// the check must report for them, in order, as [index, field, rule, level].
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "jobs/payment_check.h"
#include "jobs/payment_reader.h"
#include "runtime/text.h"

namespace norv::jobs {
namespace {

using Json = nlohmann::json;

std::string DataFile(const std::string& name) {
  const char* root = std::getenv("NORV_SOURCE_DIR");
  return std::string(root != nullptr ? root : ".") + "/tests/jobs/data/" + name;
}

std::vector<Json> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<Json> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) lines.push_back(Json::parse(line));
  }
  return lines;
}

Json ProblemRow(const PaymentProblem& problem) {
  return Json::array({problem.index, U16ToUtf8(problem.field), problem.rule,
                      problem.level == ProblemLevel::kError ? "error" : "warning"});
}

TEST(PaymentCheckTest, EachRuleWithTheInputThatBreaksIt) {
  const std::vector<Json> lines = ReadLines(DataFile("payment_checks.jsonl"));
  ASSERT_GT(lines.size(), 1u);
  const Json& base = lines.front().at("Base");
  for (size_t i = 1; i < lines.size(); ++i) {
    const Json& test = lines[i];
    SCOPED_TRACE(test.at("Case").get<std::string>());
    // The documents as a payments file: each one its kind's base with the changes.
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
    for (const PaymentProblem& problem : problems) reported.push_back(ProblemRow(problem));
    EXPECT_EQ(reported, test.at("Expect"));
  }
}

TEST(PaymentCheckTest, IbanCheckDigits) {
  EXPECT_TRUE(IbanCheckDigitsPass(u"DE89370400440532013000"));
  EXPECT_TRUE(IbanCheckDigitsPass(u"GB82WEST12345698765432"));
  EXPECT_FALSE(IbanCheckDigitsPass(u"GB82WEST12345698765423"));
  EXPECT_TRUE(HasIbanForm(u"LT437044060012345678"));
  EXPECT_FALSE(HasIbanForm(u"lt437044060012345678"));
  EXPECT_FALSE(HasIbanForm(u"1234567890"));
}

}  // namespace
}  // namespace norv::jobs
