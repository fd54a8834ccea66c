// CErrDescription: the resource text of every error number the component raises.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/err_description.h"
#include "host/host_library.h"
#include "runtime/com_error.h"
#include "runtime/text.h"
#include "support/recording_host.h"

namespace norv {
namespace {

TEST(ErrDescription, EveryRowGivesItsOwnResourceText) {
  testing::ScopedRecordingHost host;
  using Row = std::pair<int32_t, int32_t>;  // error number, resource id
  for (const auto& [number, resource_id] :
       {Row{1100, 990}, Row{1103, 992}, Row{1104, 993}, Row{1105, 994}, Row{1106, 995},
        Row{1107, 996}, Row{1108, 1002}, Row{1111, 997}, Row{-2147221402, 991},
        Row{-2147221392, 1196}, Row{-2147221391, 1197}, Row{-2147221390, 1203}}) {
    // A text set for this id only, so that a wrong mapping cannot pass.
    host->SetText(resource_id, u"Klaidos aprašas " + IntToText(resource_id));
    int32_t in_out = number;
    EXPECT_EQ(CErrDescription().Description(in_out), host->Text(resource_id)) << number;
    EXPECT_EQ(in_out, number);
    EXPECT_EQ(CErrDescription::ResourceIdOf(number), resource_id);
  }
}

// No host is installed: a number without a text must not consult the host at all
// (doing so would raise 91), while a mapped number needs one.
TEST(ErrDescription, NumberOutsideTheTableIsEmptyAndAsksNobody) {
  ASSERT_FALSE(host::HostLibrary::IsInstalled());
  for (int32_t number : {1101, 1102, 1109, 1110, 0, 1099, 1112, 990, -1, kObjectErrorBase,
                         kObjectErrorBase + 101, kObjectErrorBase + 115, -2147221402 + 65536}) {
    EXPECT_EQ(CErrDescription().Description(number), u"") << number;
    EXPECT_EQ(CErrDescription::ResourceIdOf(number), 0) << number;
  }
  int32_t mapped = 1100;
  try {
    CErrDescription().Description(mapped);
    FAIL() << "a mapped number was answered without a host";
  } catch (const ComError& error) {
    EXPECT_EQ(error.number(), kErrObjectNotSet);
  }
}

}  // namespace
}  // namespace norv
