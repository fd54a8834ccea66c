#include "jobs/job_error.h"

#include "runtime/com_error.h"
#include "runtime/text.h"

namespace norv::jobs {

void FailJob(int32_t number, std::string_view detail) {
  std::u16string description = RuntimeErrorDescription(number);
  if (!description.empty()) description += u": ";
  throw ComError(number, u"jobs", description + Utf8ToU16(detail));
}

}  // namespace norv::jobs
