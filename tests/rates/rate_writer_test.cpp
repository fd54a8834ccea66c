// CLoadRate against the recording host's in-memory currency books.
#include <gtest/gtest.h>

#include "rates/load_rate.h"
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
    host->AddRecord(u"REFCurrency", {{u"CurrencyCode", u"USD"}});
    host->AddRecord(u"REFCurrency", {{u"CurrencyCode", u"JPY"}});
    AddType(u"LB", u"USD", 1, 0);
    AddType(u"LB", u"JPY", 100, 0);
    AddType(u"CS", u"JPY", 1, 0);  // not for USD
  }
  void AddType(std::u16string type, std::u16string currency, int32_t amount, Variant reverse) {
    host->AddRecord(u"REFCurrencyRateType", {{u"RateTypeCode", std::move(type)},
                                             {u"CurrencyCode", std::move(currency)},
                                             {u"Amount", amount},
                                             {u"IsReverse", std::move(reverse)}});
  }
  std::vector<BookCall> RateBookChanges() {
    std::vector<BookCall> calls;
    for (const BookCall& call : host->BookCalls()) {
      if (call.book == kRates && call.op != u"OpenBook" && call.op != u"FindByKey") {
        calls.push_back(call);
      }
    }
    return calls;
  }
  Variant StoredRate(const std::u16string& currency, const std::u16string& type) {
    for (const Record& record : host->Records(kRates)) {
      if (record.at(u"CurrencyCode") == Variant(currency) &&
          record.at(u"RateTypeCode") == Variant(type)) {
        return record.at(u"Rate");
      }
    }
    return Variant();
  }

  testing::ScopedRecordingHost host;
};

struct SkipCase {
  const char* name;
  std::u16string currency, type;
  Date date;
  int32_t koef;
};

class RateWriterSkipTest : public RateWriterTest, public ::testing::WithParamInterface<SkipCase> {};

TEST_P(RateWriterSkipTest, ChangesNothing) {
  host->AddRecord(kRates, {{u"CurrencyCode", u"USD"},
                           {u"RateTypeCode", u"LB"},
                           {u"DateRate", kDay},
                           {u"Rate", Currency::FromDouble(1.5)}});
  const auto before = host->Records(kRates);
  const SkipCase& c = GetParam();
  CLoadRate writer;
  writer.WriteRate(c.currency, c.type, c.date, Scaled(3.4528), c.koef);
  EXPECT_TRUE(RateBookChanges().empty());
  EXPECT_EQ(host->Records(kRates), before);
  EXPECT_EQ(host->WaitIndicatorsCreated(), 1);
  EXPECT_EQ(host->WaitIndicatorsAlive(), 0);
}

INSTANTIATE_TEST_SUITE_P(Skips, RateWriterSkipTest,
                         ::testing::Values(SkipCase{"EmptyCurrency", u"", u"LB", kDay, 10000},
                                           SkipCase{"EmptyType", u"USD", u"", kDay, 10000},
                                           SkipCase{"EmptyDate", u"USD", u"LB", Date(), 10000},
                                           SkipCase{"KoefOmitted", u"USD", u"LB", kDay, 0},
                                           SkipCase{"UnknownCurrency", u"GBP", u"LB", kDay, 10000},
                                           SkipCase{"TypeNotForCurrency", u"USD", u"CS", kDay,
                                                    10000},
                                           SkipCase{"UnknownType", u"USD", u"XX", kDay, 10000}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ConvertCase {
  const char* name;
  int32_t amount;
  Variant reverse;
  double file_rate;
  double stored;
};

class RateWriterConvertTest : public RateWriterTest,
                              public ::testing::WithParamInterface<ConvertCase> {};

TEST_P(RateWriterConvertTest, StoresTheConvertedRate) {
  const ConvertCase& c = GetParam();
  AddType(u"T", u"USD", c.amount, c.reverse);
  CLoadRate writer;
  writer.WriteRate(u"USD", u"T", kDay, Scaled(c.file_rate), 10000);

  // The three books are opened in order, in the host context's session.
  std::vector<std::u16string> opened;
  for (const BookCall& call : host->BookCalls()) {
    if (call.op == u"OpenBook" && call.with_session) opened.push_back(call.book);
  }
  EXPECT_EQ(opened, (std::vector<std::u16string>{u"REFCurrency", u"REFCurrencyRate",
                                                 u"REFCurrencyRateType"}));

  EXPECT_EQ(StoredRate(u"USD", u"T"), Variant(Currency::FromDouble(c.stored)));
  ASSERT_EQ(host->RoundMoneyCalls().size(), 1u);
  EXPECT_EQ(host->RoundMoneyCalls()[0].second, 4);
  const auto changes = RateBookChanges();
  ASSERT_EQ(changes.size(), 6u);
  const std::u16string fields[] = {u"CurrencyCode", u"RateTypeCode", u"DateRate", u"Rate"};
  EXPECT_EQ(changes[0].op, u"BeginNew");
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(changes[1 + i].args.at(0), Variant(fields[i]));
  EXPECT_EQ(changes[5].op, u"StoreNew");
}

INSTANTIATE_TEST_SUITE_P(
    Types, RateWriterConvertTest,
    ::testing::Values(ConvertCase{"DirectOneUnit", 1, int32_t{0}, 3.4528, 3.4528},
                      ConvertCase{"DirectHundredUnits", 100, int32_t{0}, 3.4528, 345.28},
                      ConvertCase{"ReverseOneUnit", 1, int32_t{-1}, 3.4528, 0.2896},
                      ConvertCase{"ReverseFlagTrue", 100, true, 3.4528, 28.962},
                      ConvertCase{"EightDecimalsKept", 10000, int32_t{0}, 0.12345678, 1234.5678},
                      ConvertCase{"TinyRateStoredAsZero", 1, int32_t{0}, 0.00000001, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RateWriterTest, ZeroStoresNothingNewThenUpdatesInPlaceAndZeroDeletes) {
  CLoadRate writer;
  writer.WriteRate(u"JPY", u"LB", kDay, Currency(), 10000);
  EXPECT_TRUE(host->Records(kRates).empty());
  auto changes = RateBookChanges();
  ASSERT_EQ(changes.size(), 5u);  // begun and filled, never stored
  EXPECT_EQ(changes.front().op, u"BeginNew");
  EXPECT_EQ(changes.back().args.at(1), Variant(Currency()));
  EXPECT_TRUE(host->RoundMoneyCalls().empty());

  writer.WriteRate(u"JPY", u"LB", kDay, Scaled(0.0312), 10000);
  ASSERT_EQ(host->Records(kRates).size(), 1u);
  const Variant idc = host->Records(kRates)[0].at(u"IDC");

  writer.WriteRate(u"JPY", u"LB", kDay, Scaled(0.0315), 10000);
  ASSERT_EQ(host->Records(kRates).size(), 1u);
  EXPECT_EQ(host->Records(kRates)[0].at(u"IDC"), idc);
  EXPECT_EQ(StoredRate(u"JPY", u"LB"), Variant(Currency::FromDouble(3.15)));
  changes = RateBookChanges();
  EXPECT_EQ(changes.back().op, u"UpdateById");
  EXPECT_EQ(changes.back().args.at(0), idc);

  writer.WriteRate(u"JPY", u"LB", kDay, Currency(), 10000);
  EXPECT_TRUE(host->Records(kRates).empty());
  EXPECT_EQ(RateBookChanges().back().op, u"DeleteById");
}

TEST_F(RateWriterTest, EmptyAmountIsAnError) {
  host->AddRecord(u"REFCurrencyRateType",
                  {{u"RateTypeCode", u"E"}, {u"CurrencyCode", u"USD"}, {u"IsReverse", 0}});
  CLoadRate writer;
  EXPECT_THROW(writer.WriteRate(u"USD", u"E", kDay, Scaled(3.4528), 10000), ComError);
  EXPECT_TRUE(host->Records(kRates).empty());
  EXPECT_EQ(host->WaitIndicatorsAlive(), 0);
}

}  // namespace
}  // namespace norv
