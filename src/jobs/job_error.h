// The errors the job layer raises itself (source "jobs"): the runtime's
// description of `number`, then what was wrong and where.
#pragma once

#include <cstdint>
#include <string_view>

namespace norv::jobs {

[[noreturn]] void FailJob(int32_t number, std::string_view detail);

}  // namespace norv::jobs
