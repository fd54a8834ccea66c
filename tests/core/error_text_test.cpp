// CBankCl_VB::ErrorText: the cases are in tests/data/error_texts (DocErrorText is
// the payment lines' cases').
#include <gtest/gtest.h>

#include <string>

#include "component/cbankcl_vb.h"
#include "core/resource_ids.h"
#include "runtime/text.h"
#include "support/data_files.h"
#include "support/recording_host.h"

namespace norv {

struct CBankClTestPeer {
  static std::u16string ErrorText(CBankCl_VB& bank, int32_t number, const std::u16string& arg0,
                                  const std::u16string& arg1) {
    return bank.ErrorText(number, arg0, arg1);
  }
};

namespace {

TEST(ErrorTextTest, DescriptionAndFilledArgumentsAsListed) {
  testing::ScopedRecordingHost host;
  host->SetText(990, u"Eksportas atšauktas.");
  host->SetText(992, u"Nepavyko įrašyti.");
  CBankCl_VB bank;
  for (const testing::Row& c : testing::Manifest("error_texts", 5)) {
    std::string text = c[4];
    for (size_t at; (at = text.find("\\r\\n")) != std::string::npos;) text.replace(at, 4, "\r\n");
    host->SetText(res::kErrorArgsTemplate, Utf8ToU16(c[0]));
    EXPECT_EQ(CBankClTestPeer::ErrorText(bank, std::stoi(c[1]), Utf8ToU16(c[2]), Utf8ToU16(c[3])),
              Utf8ToU16(text))
        << c[1] << " " << c[2];
  }
}

}  // namespace
}  // namespace norv
