// Parsing under the regional presets: the cases are in tests/data/regional.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "error_matchers.h"
#include "runtime/regional.h"
#include "runtime/text.h"
#include "support/data_files.h"

namespace norv {
namespace {

// The text between the quotes, with \t, \u00A0 and \\ read.
std::u16string CaseText(const std::string& quoted) {
  std::u16string text;
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    if (quoted.compare(i, 6, "\\u00A0") == 0) {
      text += u'\u00A0';
      i += 5;
    } else if (quoted[i] == '\\') {
      text += quoted[++i] == 't' ? u'\t' : u'\\';
    } else {
      size_t end = i;
      while (end + 1 < quoted.size() && quoted[end] != '\\') ++end;
      text += Utf8ToU16(quoted.substr(i, end - i));
      i = end - 1;
    }
  }
  return text;
}

TEST(RegionalParseTest, EveryPresetReadsItsFormsOnly) {
  int count = 0;
  for (const testing::Row& c : testing::Manifest("regional", 4)) {
    SCOPED_TRACE(c[0] + " " + c[1] + " " + c[2]);
    ++count;
    const RegionalSettings settings = RegionalSettings::Preset(Utf8ToU16(c[1]));
    const std::u16string text = CaseText(c[2]);
    const auto parse = [&] {
      if (c[0] == "number") return void(settings.ParseNumber(text));
      if (c[0] == "currency") return void(settings.ParseCurrency(text));
      settings.ParseDate(text);
    };
    if (c[3].rfind("error ", 0) == 0) {
      EXPECT_RAISES(parse(), std::stoi(c[3].substr(6)));
    } else if (c[0] == "number") {
      EXPECT_DOUBLE_EQ(settings.ParseNumber(text), std::stod(c[3]));
    } else if (c[0] == "currency") {
      EXPECT_EQ(settings.ParseCurrency(text).raw(), std::stoll(c[3]));
    } else {
      int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
      std::sscanf(c[3].c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
      EXPECT_EQ(settings.ParseDate(text), Date::FromCivil(y, mo, d, h, mi, s));
    }
  }
  EXPECT_GT(count, 90);
}

TEST(RegionalSettingsTest, CurrentIsPerThreadAndStartsAsLtLT) {
  EXPECT_EQ(RegionalSettings::Current().name, u"lt-LT");
  RegionalSettings::SetCurrent(RegionalSettings::EnUS());
  EXPECT_EQ(RegionalSettings::Current().name, u"en-US");
  std::u16string other_thread;
  std::thread([&] { other_thread = RegionalSettings::Current().name; }).join();
  EXPECT_EQ(other_thread, u"lt-LT");
  RegionalSettings::SetCurrent(RegionalSettings::LtLT());
  EXPECT_RAISES(RegionalSettings::Preset(u"de-DE"), kErrInvalidCall);
}

}  // namespace
}  // namespace norv
