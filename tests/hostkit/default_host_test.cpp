// The default host's settings and form values kept in the database. Whole runs
// of the component against it are the program's tests (tests/apps).
#include <gtest/gtest.h>

#include <sstream>

#include "hostkit/default_host.h"
#include "hostkit/line_converters.h"
#include "runtime/error_matchers.h"
#include "runtime/text.h"
#include "support/recording_host.h"

namespace norv::hostkit {
namespace {

using norv::testing::TempFolder;

class DefaultHostTest : public ::testing::Test {
 protected:
  std::shared_ptr<DefaultHost> OpenHost() {
    DefaultHost::Options options;
    options.database_path = folder.File("host.db");
    options.out = &out;
    options.err = &err;
    return std::make_shared<DefaultHost>(options);
  }

  TempFolder folder;
  std::ostringstream out, err;
};

TEST_F(DefaultHostTest, FormValuesOutliveTheHostWithTheirKinds) {
  const std::vector<Variant> values{
      std::u16string(u"C:\\bankas\\"), int32_t{7}, 2.5, Currency::FromRaw(-34528),
      Date::FromCivil(2024, 1, 31),    true};
  {
    auto host = OpenHost();
    for (size_t i = 0; i < values.size(); ++i) {
      host->App().GetFormSettings().WriteFormValue(u"SelectFilesDlg", u"key" + IntToText(i),
                                                   values[i]);
    }
    host->App().GetFormSettings().WriteFormValue(u"SelectFilesDlg", u"key0",
                                                 std::u16string(u"D:\\"));
  }
  auto host = OpenHost();
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

TEST_F(DefaultHostTest, SettingsChooseTheConverterAndTheRegionalPreset) {
  {
    auto host = OpenHost();
    EXPECT_EQ(host->CodePage(), kCodePageWindowsBaltic);
    EXPECT_EQ(host->RegionalPreset(), "lt-LT");
    host->SetCodePage(kCodePageDosBaltic);
    host->SetRegionalPreset("en-US");
    EXPECT_RAISES(host->SetCodePage(437), kErrInvalidCall);
    EXPECT_RAISES(host->SetRegionalPreset("lv-LV"), kErrInvalidCall);
  }
  auto host = OpenHost();
  EXPECT_EQ(host->CodePage(), kCodePageDosBaltic);
  EXPECT_EQ(host->RegionalPreset(), "en-US");
  EXPECT_EQ(host->CreateLineConverter()->Convert(u"ė", host::kConvertToBank), u"Ó");  // 0xD3
}

}  // namespace
}  // namespace norv::hostkit
