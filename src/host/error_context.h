// ErrorContext: the host's report of a failure that the caller does not raise.
#pragma once

#include <string>

namespace norv::host {

class ErrorContext {
 public:
  virtual ~ErrorContext() = default;
  virtual void BeginContext(const std::u16string& a, const std::u16string& b) = 0;
  virtual std::u16string ContextText() = 0;
  virtual void SetContextText(const std::u16string& text) = 0;
  virtual void Finish() = 0;  // reports the failure with the context text
};

}  // namespace norv::host
