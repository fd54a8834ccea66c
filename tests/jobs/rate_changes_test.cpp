// The changes of a rate load and their warnings, case by case from
// tests/data/rate_changes: rates stored before, the rates the load writes (as
// the component writes them: insert, replace, or delete for a zero rate), and
// [currency, type, date, old, new, a part of the warning or ""] for each change.
// Cash buying rates are of type "CB", cash selling "CS".
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "hostkit/database.h"
#include "jobs/json_values.h"
#include "jobs/rate_changes.h"
#include "jobs_fixture.h"
#include "runtime/text.h"

namespace norv::jobs {
namespace {

using Json = nlohmann::json;
using hostkit::Database;

// Writes [currency, type, date, rate] as the component's rate writer does:
// insert, replace, or delete for a zero rate.
void WriteRate(Database& db, const Json& rate) {
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

Json RateOrNull(const std::optional<Currency>& rate) {
  return rate ? Json(rate->ToDouble()) : Json(nullptr);
}

int64_t StoredRates(Database& db) {
  hostkit::Statement count = db.Prepare("SELECT COUNT(*) FROM book_REFCurrencyRate");
  return count.Step() ? count.Int64(0) : -1;
}

TEST(RateChangesTest, EachWarningWithTheLoadThatCausesIt) {
  for (const Json& test : testing::Cases("rate_changes")) {
    SCOPED_TRACE(test.at("Case").get<std::string>());
    norv::testing::TempFolder folder;
    auto db = Database::Open(folder.File("cb.db"));
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
      reported.push_back({U16ToUtf8(change.currency), U16ToUtf8(change.rate_type),
                          DateText(change.date), RateOrNull(change.old_rate),
                          RateOrNull(change.new_rate), U16ToUtf8(change.warning)});
    }
    const Json& expected = test.at("Expect");
    ASSERT_EQ(reported.size(), expected.size()) << reported.dump();
    for (size_t i = 0; i < expected.size(); ++i) {
      for (size_t column = 0; column < 5; ++column) {
        EXPECT_EQ(reported[i][column], expected[i][column]) << reported[i].dump();
      }
      const std::string warning = reported[i][5];
      const std::string part = expected[i][5];
      if (part.empty()) {
        EXPECT_EQ(warning, "");
      } else {
        EXPECT_NE(warning.find(part), std::string::npos) << warning;
      }
    }
  }
}

TEST(RateChangesTest, AnUndoneLoadLeavesTheBookAsItWas) {
  norv::testing::TempFolder folder;
  auto db = Database::Open(folder.File("cb.db"));
  WriteRate(*db, Json::array({"USD", "LB", "2024-01-30", 3.0}));
  const Json load = Json::array({"USD", "LB", "2024-01-31", 3.9});
  const CheckedRateLoad undone = RunCheckedRateLoad(
      db, [] { return CashRateTypes{}; }, [&] { WriteRate(*db, load); },
      [](const std::vector<RateChange>& changes) { return !AnyWarning(changes); });
  EXPECT_FALSE(undone.kept);
  ASSERT_EQ(undone.changes.size(), 1u);
  EXPECT_EQ(StoredRates(*db), 1);
  const CheckedRateLoad kept = RunCheckedRateLoad(
      db, [] { return CashRateTypes{}; }, [&] { WriteRate(*db, load); },
      [](const std::vector<RateChange>&) { return true; });
  EXPECT_TRUE(kept.kept);
  EXPECT_EQ(StoredRates(*db), 2);
}

}  // namespace
}  // namespace norv::jobs
