// UtilityService: the host's helpers (library-wide).
#pragma once

#include <cstdint>

#include "runtime/currency.h"

namespace norv::host {

class UtilityService {
 public:
  virtual ~UtilityService() = default;
  virtual Currency RoundMoney(Currency value, int32_t digits) = 0;
};

}  // namespace norv::host
