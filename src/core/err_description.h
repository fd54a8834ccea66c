// CErrDescription: the user-visible description of an error number that the
// component raises, drawn from the host's resource module.
#pragma once

#include <cstdint>
#include <string>

#include "../runtime/export.h"

namespace norv {

class NORV_EXPORT CErrDescription {
 public:
  // The resource text mapped to ErrNumber; empty for a number without a text
  // (the host is not consulted then). Raises what the host's ResourceService
  // raises, and 91 without a host library. ErrNumber is only read.
  std::u16string Description(int32_t& ErrNumber);
  // The resource id behind a number, 0 when it has none.
  static int32_t ResourceIdOf(int32_t err_number);
};

}  // namespace norv
