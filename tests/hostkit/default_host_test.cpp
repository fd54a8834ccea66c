// The default host keeps form values in the database with their kinds. Its
// settings and whole runs of the component against it are the program's cases
// (tests/data/cli_runs).
#include <gtest/gtest.h>

#include <sstream>

#include "hostkit/default_host.h"
#include "runtime/text.h"
#include "support/recording_host.h"

namespace norv::hostkit {
namespace {

TEST(DefaultHostTest, FormValuesOutliveTheHostWithTheirKinds) {
  norv::testing::TempFolder folder;
  std::ostringstream out;
  auto settings = [&] {
    DefaultHost::Options options;
    options.database_path = folder.File("host.db");
    options.out = options.err = &out;
    return std::make_shared<DefaultHost>(options);
  };
  const std::vector<Variant> values{
      std::u16string(u"C:\\bankas\\"), int32_t{7}, 2.5, Currency::FromRaw(-34528),
      Date::FromCivil(2024, 1, 31),    true};
  {
    auto host = settings();
    for (size_t i = 0; i < values.size(); ++i) {
      host->App().GetFormSettings().WriteFormValue(u"SelectFilesDlg", u"key" + IntToText(i),
                                                   values[i]);
    }
    host->App().GetFormSettings().WriteFormValue(u"SelectFilesDlg", u"key0",
                                                 std::u16string(u"D:\\"));
  }
  auto host = settings();
  for (size_t i = 1; i < values.size(); ++i) {
    Variant read;
    host->App().GetFormSettings().ReadFormValue(u"SelectFilesDlg", u"key" + IntToText(i), read);
    EXPECT_EQ(read, values[i]) << i;
  }
  Variant path = std::u16string(u"untouched");
  host->App().GetFormSettings().ReadFormValue(u"SelectFilesDlg", u"key0", path);
  EXPECT_EQ(path, Variant(std::u16string(u"D:\\")));
  host->App().GetFormSettings().ReadFormValue(u"LoadRateDlgVB", u"key0", path);
  EXPECT_EQ(path, Variant(std::u16string(u"D:\\")));  // nothing kept: left as it was
}

}  // namespace
}  // namespace norv::hostkit
