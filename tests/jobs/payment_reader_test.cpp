// The streaming payment reader: what it makes of a document, and one error
// naming the document and the key for each kind of bad input, the cases in
// data/payment_reader_cases.jsonl.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <vector>

#include "jobs/payment_reader.h"
#include "runtime/com_error.h"
#include "runtime/text.h"
#include "support/recording_host.h"

namespace norv::jobs {
namespace {

std::vector<PaymentEntry> ReadAll(std::string_view in) {
  std::vector<PaymentEntry> docs;
  ReadPaymentsFromMemory(in, "p.json", [&docs](int64_t index, PaymentEntry& entry) {
    EXPECT_EQ(index, static_cast<int64_t>(docs.size()));
    docs.push_back(entry);
  });
  return docs;
}

TEST(PaymentReaderTest, ReadsEveryKindOfFieldFromAnArrayAndFromLines) {
  const std::string local =
      R"({"DocType": 1, "DocNumber": "000125", "DocDate": "2004-03-15", "PayeeName": "Tiekėjas",)"
      R"( "Amount": "1234.5", "Unnamed17": -9223372036854775808, "PaymentType": -3})";
  const std::string foreign = R"({"DocType": 2, "Amount": 2500, "ChargesCurrency": null})";
  for (const std::string& in : {"[" + local + ",\n" + foreign + "]", local + "\n" + foreign}) {
    SCOPED_TRACE(in);
    const std::vector<PaymentEntry> docs = ReadAll(in);
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
    EXPECT_EQ(docs[1].doc.DocNumber, u"");
  }
  testing::TempFolder folder;
  folder.WriteBytes("p.json", "[" + local + "," + local + "," + foreign + "]");
  const PaymentCounts counts = ReadPayments(folder.File("p.json"), [](int64_t, PaymentEntry&) {});
  EXPECT_EQ(counts.local, 2);
  EXPECT_EQ(counts.foreign, 1);
}

TEST(PaymentReaderTest, AMissingFileIsFileNotFound) {
  try {
    ReadPayments("/nonexistent/p.json", [](int64_t, PaymentEntry&) {});
    ADD_FAILURE() << "no error";
  } catch (const ComError& error) {
    EXPECT_EQ(error.number(), kErrFileNotFound);
    EXPECT_EQ(error.description(), u"File not found: '/nonexistent/p.json'");
  }
}

TEST(PaymentReaderTest, EachBadInputEndsInOneErrorNamingTheDocumentAndTheKey) {
  std::ifstream cases(std::string(std::getenv("NORV_SOURCE_DIR")) +
                      "/tests/jobs/data/payment_reader_cases.jsonl");
  std::string line;
  int read = 0;
  while (std::getline(cases, line)) {
    ++read;
    const nlohmann::json c = nlohmann::json::parse(line);
    std::string in = c["input"];
    if (c.value("latin1", false)) {  // each character U+0000..U+00FF stands for one byte
      std::string bytes;
      for (char16_t ch : Utf8ToU16(in)) bytes += static_cast<char>(ch);
      in = bytes;
    }
    SCOPED_TRACE(line);
    int64_t handed = 0;
    try {
      const PaymentCounts counts =
          ReadPaymentsFromMemory(in, "p.json", [&handed](int64_t, PaymentEntry&) { ++handed; });
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
  EXPECT_GT(read, 20);
}

}  // namespace
}  // namespace norv::jobs
