// CLoadRate against the recording host's in-memory currency books.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "rates/load_rate.h"
#include "runtime/text.h"
#include "support/data_files.h"
#include "support/recording_host.h"

namespace norv {
namespace {

using testing::BookCall;
using testing::Record;

const Date kDay = Date::FromCivil(2006, 3, 31);
constexpr char16_t kRates[] = u"REFCurrencyRate";

Currency Scaled(double file_rate) { return Currency::FromDouble(file_rate * 10000); }

class RateWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Host().AddRecord(u"REFCurrency", {{u"CurrencyCode", u"USD"}});
    Host().AddRecord(u"REFCurrency", {{u"CurrencyCode", u"JPY"}});
    AddType(u"LB", u"USD", 1, 0);
    AddType(u"LB", u"JPY", 100, 0);
    AddType(u"CS", u"JPY", 1, 0);  // not for USD
  }
  void AddType(std::u16string type, std::u16string currency, int32_t amount, Variant reverse) {
    Host().AddRecord(u"REFCurrencyRateType", {{u"RateTypeCode", std::move(type)},
                                              {u"CurrencyCode", std::move(currency)},
                                              {u"Amount", amount},
                                              {u"IsReverse", std::move(reverse)}});
  }
  std::vector<BookCall> RateBookChanges() {
    std::vector<BookCall> calls;
    for (const BookCall& call : Host().BookCalls()) {
      if (call.book == kRates && call.op != u"OpenBook" && call.op != u"FindByKey") {
        calls.push_back(call);
      }
    }
    return calls;
  }
  Variant StoredRate(const std::u16string& currency, const std::u16string& type) {
    for (const Record& record : Host().Records(kRates)) {
      if (record.at(u"CurrencyCode") == Variant(currency) &&
          record.at(u"RateTypeCode") == Variant(type)) {
        return record.at(u"Rate");
      }
    }
    return Variant();
  }

  testing::RecordingHost& Host() { return **host; }
  // A fresh host with the books above.
  void Fresh() {
    host.reset();
    host.emplace();
    SetUp();
  }

  std::optional<testing::ScopedRecordingHost> host{std::in_place};
};

// The cases of tests/data/rate_writes/manifest.tsv.
TEST_F(RateWriterTest, StoresTheConvertedRateOrChangesNothingAsListed) {
  for (const testing::Row& c : testing::Manifest("rate_writes", 9)) {
    SCOPED_TRACE(c[0]);
    Fresh();
    Host().AddRecord(kRates, {{u"CurrencyCode", u"USD"},
                              {u"RateTypeCode", u"LB"},
                              {u"DateRate", kDay},
                              {u"Rate", Currency::FromDouble(1.5)}});
    if (!c[6].empty()) {
      AddType(u"T", u"USD", std::stoi(c[6]),
              c[7] == "true" ? Variant(true) : Variant(std::stoi(c[7])));
    }
    const auto before = Host().Records(kRates);
    CLoadRate writer;
    writer.WriteRate(Utf8ToU16(c[1]), Utf8ToU16(c[2]),
                     c[3].empty()
                         ? Date()
                         : Date::FromCivil(std::stoi(c[3].substr(0, 4)),
                                           std::stoi(c[3].substr(5, 2)), std::stoi(c[3].substr(8))),
                     Scaled(std::stod(c[4])), std::stoi(c[5]));
    EXPECT_EQ(Host().WaitIndicatorsCreated(), 1);
    EXPECT_EQ(Host().WaitIndicatorsAlive(), 0);
    if (c[8].empty()) {
      EXPECT_TRUE(RateBookChanges().empty());
      EXPECT_EQ(Host().Records(kRates), before);
      continue;
    }
    EXPECT_EQ(StoredRate(u"USD", u"T"), Variant(Currency::FromDouble(std::stod(c[8]))));
    ASSERT_EQ(Host().RoundMoneyCalls().size(), 1u);
    EXPECT_EQ(Host().RoundMoneyCalls()[0].second, 4);
    EXPECT_EQ(RateBookChanges().back().op, u"StoreNew");
  }
}

TEST_F(RateWriterTest, ZeroStoresNothingNewThenUpdatesInPlaceAndZeroDeletes) {
  CLoadRate writer;
  writer.WriteRate(u"JPY", u"LB", kDay, Currency(), 10000);
  EXPECT_TRUE(Host().Records(kRates).empty());
  auto changes = RateBookChanges();
  ASSERT_EQ(changes.size(), 5u);  // begun and filled, never stored
  EXPECT_EQ(changes.front().op, u"BeginNew");
  EXPECT_EQ(changes.back().args.at(1), Variant(Currency()));
  EXPECT_TRUE(Host().RoundMoneyCalls().empty());

  writer.WriteRate(u"JPY", u"LB", kDay, Scaled(0.0312), 10000);
  ASSERT_EQ(Host().Records(kRates).size(), 1u);
  const Variant idc = Host().Records(kRates)[0].at(u"IDC");

  writer.WriteRate(u"JPY", u"LB", kDay, Scaled(0.0315), 10000);
  ASSERT_EQ(Host().Records(kRates).size(), 1u);
  EXPECT_EQ(Host().Records(kRates)[0].at(u"IDC"), idc);
  EXPECT_EQ(StoredRate(u"JPY", u"LB"), Variant(Currency::FromDouble(3.15)));
  changes = RateBookChanges();
  EXPECT_EQ(changes.back().op, u"UpdateById");
  EXPECT_EQ(changes.back().args.at(0), idc);

  writer.WriteRate(u"JPY", u"LB", kDay, Currency(), 10000);
  EXPECT_TRUE(Host().Records(kRates).empty());
  EXPECT_EQ(RateBookChanges().back().op, u"DeleteById");
}

TEST_F(RateWriterTest, EmptyAmountIsAnError) {
  Host().AddRecord(u"REFCurrencyRateType",
                   {{u"RateTypeCode", u"E"}, {u"CurrencyCode", u"USD"}, {u"IsReverse", 0}});
  CLoadRate writer;
  EXPECT_THROW(writer.WriteRate(u"USD", u"E", kDay, Scaled(3.4528), 10000), ComError);
  EXPECT_TRUE(Host().Records(kRates).empty());
  EXPECT_EQ(Host().WaitIndicatorsAlive(), 0);
}

}  // namespace
}  // namespace norv
