// ErrorContext: the host's report of a failure that the caller does not raise.
#pragma once

#include <string>

#include "../runtime/export.h"

namespace norv::host {

class NORV_EXPORT ErrorContext {
 public:
  virtual ~ErrorContext() = default;
  // Starts a report of a failure in `procedure` of `module`; the host puts both
  // in front of the context text. The component passes two empty texts: a file
  // copy's failure names its files in the context text instead.
  virtual void BeginContext(const std::u16string& module, const std::u16string& procedure) = 0;
  // The text the report will show; the component appends " : " and the file
  // names to what BeginContext left there.
  virtual std::u16string ContextText() = 0;
  virtual void SetContextText(const std::u16string& text) = 0;
  virtual void Finish() = 0;  // reports the failure with the context text
};

}  // namespace norv::host
