// WaitIndicator: held while a long operation runs (a busy cursor); nothing is
// called on it, its lifetime is the signal.
#pragma once

namespace norv::host {

class WaitIndicator {
 public:
  virtual ~WaitIndicator() = default;
};

}  // namespace norv::host
