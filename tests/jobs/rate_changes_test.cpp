// The changes of a rate load and their warnings, case by case from
// data/rate_changes.jsonl: rates stored before, the rates the load writes (as
// the component writes them: insert, replace, or delete for a zero rate), and
// [currency, type, date, old, new, a part of the warning or ""] for each change.
// Cash buying rates are of type "CB", cash selling "CS".
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "hostkit/database.h"
#include "jobs/rate_changes.h"
#include "runtime/text.h"
#include "support/recording_host.h"

namespace norv::jobs {
namespace {

using Json = nlohmann::json;
using hostkit::Database;

Date DateOf(const Json& text) {
  const std::string s = text.get<std::string>();
  return Date::FromCivil(std::stoi(s.substr(0, 4)), std::stoi(s.substr(5, 2)),
                         std::stoi(s.substr(8, 2)));
}

std::string DateText(Date date) {
  const CivilDateTime civil = date.ToCivil();
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", civil.year, civil.month, civil.day);
  return text;
}

// Writes [currency, type, date, rate] as the component's rate writer does.
void WriteRate(Database& db, const Json& rate) {
  const std::u16string currency = Utf8ToU16(rate[0].get<std::string>());
  const std::u16string type = Utf8ToU16(rate[1].get<std::string>());
  const double day = DateOf(rate[2]).serial();
  const auto raw = static_cast<int64_t>(std::llround(rate[3].get<double>() * 10000));
  if (raw == 0) {
    db.Prepare(
          "DELETE FROM book_REFCurrencyRate WHERE CurrencyCode = ? AND RateTypeCode = ?"
          " AND DateRate = ?")
        .Bind(1, std::u16string_view(currency))
        .Bind(2, std::u16string_view(type))
        .Bind(3, day)
        .Run();
    return;
  }
  db.Prepare(
        "UPDATE book_REFCurrencyRate SET Rate = ? WHERE CurrencyCode = ? AND"
        " RateTypeCode = ? AND DateRate = ?")
      .Bind(1, raw)
      .Bind(2, std::u16string_view(currency))
      .Bind(3, std::u16string_view(type))
      .Bind(4, day)
      .Run();
  if (db.Changes() > 0) return;
  db.Prepare(
        "INSERT INTO book_REFCurrencyRate (CurrencyCode, RateTypeCode, DateRate, Rate)"
        " VALUES (?, ?, ?, ?)")
      .Bind(1, std::u16string_view(currency))
      .Bind(2, std::u16string_view(type))
      .Bind(3, day)
      .Bind(4, raw)
      .Run();
}

Json RateOrNull(const std::optional<Currency>& rate) {
  return rate ? Json(rate->ToDouble()) : Json(nullptr);
}

int64_t StoredRates(Database& db) {
  hostkit::Statement count = db.Prepare("SELECT COUNT(*) FROM book_REFCurrencyRate");
  return count.Step() ? count.Int64(0) : -1;
}

TEST(RateChangesTest, EachWarningWithTheLoadThatCausesIt) {
  std::ifstream in(std::string(std::getenv("NORV_SOURCE_DIR")) +
                   "/tests/jobs/data/rate_changes.jsonl");
  int cases = 0;
  for (std::string line; std::getline(in, line); ++cases) {
    const Json test = Json::parse(line);
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
  EXPECT_GE(cases, 10);
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
