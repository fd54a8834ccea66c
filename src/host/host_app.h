// HostApp: the host application object. A new instance shows a pending error;
// the library-wide one gives the form settings and the current context.
#pragma once

#include <memory>
#include <string>

#include "runtime/com_error.h"
#include "runtime/variant.h"

namespace norv::host {

class Session {
 public:
  virtual ~Session() = default;
};

class Context {
 public:
  virtual ~Context() = default;
  virtual std::shared_ptr<Session> GetSession() = 0;
};

// Per-form value store: the last text of each path box, by form and key.
class FormSettings {
 public:
  virtual ~FormSettings() = default;
  // Delivers the kept value into `value`; leaves it as it is when nothing is kept.
  virtual void ReadFormValue(const std::u16string& form_name, const std::u16string& key,
                             Variant& value) = 0;
  virtual void WriteFormValue(const std::u16string& form_name, const std::u16string& key,
                              const Variant& value) = 0;
};

class HostApp {
 public:
  virtual ~HostApp() = default;
  // Shows the error pending in the caller (number, source, description).
  virtual void ShowPendingError(const ComError& error) = 0;
  virtual FormSettings& GetFormSettings() = 0;
  virtual std::shared_ptr<Context> GetContext() = 0;
};

}  // namespace norv::host
