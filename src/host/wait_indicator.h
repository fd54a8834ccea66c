// WaitIndicator: held while a long operation runs (a busy cursor); nothing is
// called on it, its lifetime is the signal.
#pragma once

#include "../runtime/export.h"

namespace norv::host {

class NORV_EXPORT WaitIndicator {
 public:
  virtual ~WaitIndicator() = default;
};

}  // namespace norv::host
