// UtilityService: the host's helpers (library-wide).
#pragma once

#include <cstdint>

#include "../runtime/currency.h"
#include "../runtime/export.h"

namespace norv::host {

class NORV_EXPORT UtilityService {
 public:
  virtual ~UtilityService() = default;
  // `value` rounded to `digits` decimals (the rate writer passes the rate type's
  // precision); the rounding rule is the host's.
  virtual Currency RoundMoney(Currency value, int32_t digits) = 0;
};

}  // namespace norv::host
