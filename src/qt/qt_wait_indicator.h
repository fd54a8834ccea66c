// QtWaitIndicator: the busy cursor, shown from construction to destruction.
// Indicators nest: each one pushes and pops its own override cursor.
#pragma once

#include "host/wait_indicator.h"

namespace norv::qt {

class QtWaitIndicator : public host::WaitIndicator {
 public:
  QtWaitIndicator();
  ~QtWaitIndicator() override;
  QtWaitIndicator(const QtWaitIndicator&) = delete;
  QtWaitIndicator& operator=(const QtWaitIndicator&) = delete;

 private:
  bool shown_ = false;
};

}  // namespace norv::qt
