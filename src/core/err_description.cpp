#include "core/err_description.h"

#include <array>
#include <utility>

#include "core/error_numbers.h"
#include "core/messages.h"

namespace norv {
namespace {

struct ErrorText {
  int32_t number;
  int32_t resource_id;
};

// 1101, 1102, 1109 and 1110 belong to the host's enumeration but have no text.
constexpr std::array<ErrorText, 12> kErrorTexts = {{
    {1100, 990},
    {1103, 992},
    {1104, 993},
    {1105, 994},
    {1106, 995},
    {1107, 996},
    {1108, 1002},
    {1111, 997},
    {kObjectErrorBase + 102, 991},
    {kObjectErrorBase + 112, 1196},
    {kObjectErrorBase + 113, 1197},
    {kObjectErrorBase + 114, 1203},
}};

}  // namespace

int32_t CErrDescription::ResourceIdOf(int32_t err_number) {
  for (const ErrorText& entry : kErrorTexts) {
    if (entry.number == err_number) return entry.resource_id;
  }
  return 0;
}

std::u16string CErrDescription::Description(int32_t& ErrNumber) {
  const int32_t id = ResourceIdOf(ErrNumber);
  if (id == 0) return u"";
  return LoadResourceText(id);
}

}  // namespace norv
