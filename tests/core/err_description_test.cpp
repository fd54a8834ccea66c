// CErrDescription: the resource text of every error number the component raises.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/err_description.h"
#include "host/host_library.h"
#include "runtime/com_error.h"
#include "runtime/text.h"
#include "support/recording_host.h"

namespace norv {
namespace {

struct MappedError {
  int32_t number;
  int32_t resource_id;
};

class ErrDescriptionTableTest : public ::testing::TestWithParam<MappedError> {
 protected:
  testing::ScopedRecordingHost host;
};

TEST_P(ErrDescriptionTableTest, NumberGivesItsResourceText) {
  const MappedError row = GetParam();
  // A text set for this id only, so that a wrong mapping cannot pass.
  host->SetText(row.resource_id, u"Klaidos aprašas " + IntToText(row.resource_id));
  int32_t number = row.number;
  CErrDescription errors;
  EXPECT_EQ(errors.Description(number), host->Text(row.resource_id));
  EXPECT_EQ(number, row.number);
  EXPECT_EQ(CErrDescription::ResourceIdOf(row.number), row.resource_id);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrDescriptionTableTest,
    ::testing::Values(MappedError{1100, 990}, MappedError{1103, 992}, MappedError{1104, 993},
                      MappedError{1105, 994}, MappedError{1106, 995}, MappedError{1107, 996},
                      MappedError{1108, 1002}, MappedError{1111, 997},
                      MappedError{-2147221402, 991}, MappedError{-2147221392, 1196},
                      MappedError{-2147221391, 1197}, MappedError{-2147221390, 1203}));

TEST(ErrDescriptionTable, EveryMappedTextIsDistinct) {
  testing::ScopedRecordingHost host;
  CErrDescription errors;
  const int32_t numbers[] = {1100, 1103, 1104,        1105,        1106,        1107,
                             1108, 1111, -2147221402, -2147221392, -2147221391, -2147221390};
  std::vector<std::u16string> seen;
  for (int32_t number : numbers) {
    std::u16string text = errors.Description(number);
    EXPECT_FALSE(text.empty()) << number;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), text), 0) << number;
    seen.push_back(text);
  }
}

class ErrDescriptionOutsideTest : public ::testing::TestWithParam<int32_t> {};

// No host is installed: a number without a text must not consult the host at all
// (doing so would raise 91).
TEST_P(ErrDescriptionOutsideTest, NumberWithoutTextIsEmptyAndAsksNobody) {
  ASSERT_FALSE(host::HostLibrary::IsInstalled());
  int32_t number = GetParam();
  CErrDescription errors;
  EXPECT_EQ(errors.Description(number), u"");
  EXPECT_EQ(CErrDescription::ResourceIdOf(number), 0);
}

INSTANTIATE_TEST_SUITE_P(Outside, ErrDescriptionOutsideTest,
                         ::testing::Values(1101, 1102, 1109, 1110, 0, 1099, 1112, 990, -1,
                                           kObjectErrorBase, kObjectErrorBase + 100,
                                           kObjectErrorBase + 101, kObjectErrorBase + 115,
                                           -2147221402 + 65536));

TEST(ErrDescription, MappedNumberWithoutHostRaisesObjectNotSet) {
  ASSERT_FALSE(host::HostLibrary::IsInstalled());
  int32_t number = 1100;
  CErrDescription errors;
  try {
    errors.Description(number);
    FAIL() << "a mapped number was answered without a host";
  } catch (const ComError& error) {
    EXPECT_EQ(error.number(), kErrObjectNotSet);
  }
}

}  // namespace
}  // namespace norv
