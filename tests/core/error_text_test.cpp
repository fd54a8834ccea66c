// CBankCl_VB::ErrorText: the description, and the arguments in their template on a
// new line (DocErrorText is the payment lines' cases').
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "core/resource_ids.h"
#include "support/recording_host.h"

namespace norv {

struct CBankClTestPeer {
  static std::u16string ErrorText(CBankCl_VB& bank, int32_t number, const std::u16string& arg0,
                                  const std::u16string& arg1) {
    return bank.ErrorText(number, arg0, arg1);
  }
};

namespace {

using Peer = CBankClTestPeer;

TEST(ErrorTextTest, ArgumentsAddTheFilledTemplateOnANewLine) {
  testing::ScopedRecordingHost host;
  host->SetText(990, u"Eksportas atšauktas.");
  host->SetText(992, u"Nepavyko įrašyti.");
  host->SetText(res::kErrorArgsTemplate, u"Failas: %0; eilutė: %1.");
  CBankCl_VB bank;
  using E = std::tuple<int32_t, std::u16string, std::u16string, std::u16string>;
  for (const auto& [number, arg0, arg1, expected] :
       {E{kErrExportCancelled, u"", u"", u"Eksportas atšauktas."},
        E{kErrExportCancelled, u"", u"eilutė", u"Eksportas atšauktas."},  // second alone ignored
        E{kErrLineNotWritten, u"C:\\b\\240131.mok", u"1,2,\"A B\"",
          u"Nepavyko įrašyti.\r\nFailas: C:\\b\\240131.mok; eilutė: 1,2,\"A B\"."},
        E{kErrLineNotWritten, u"a.mok", u"", u"Nepavyko įrašyti.\r\nFailas: a.mok; eilutė: ."},
        E{1109, u"x", u"y", u"\r\nFailas: x; eilutė: y."},  // a number without a text
        E{1109, u"", u"", u""}}) {
    EXPECT_EQ(Peer::ErrorText(bank, number, arg0, arg1), expected) << number;
  }
  host->SetText(res::kErrorArgsTemplate, u"");
  EXPECT_EQ(Peer::ErrorText(bank, kErrLineNotWritten, u"a", u"b"), u"Nepavyko įrašyti.\r\n");
}

}  // namespace
}  // namespace norv
