// HostApp: the host application object. A new instance shows a pending error;
// the library-wide one gives the form settings and the current context.
#pragma once

#include <memory>
#include <string>

#include "../runtime/com_error.h"
#include "../runtime/export.h"
#include "../runtime/variant.h"

namespace norv::host {

// The host's data session; opaque to the component, which only passes it to
// BookFactory::OpenBook.
class NORV_EXPORT Session {
 public:
  virtual ~Session() = default;
};

class NORV_EXPORT Context {
 public:
  virtual ~Context() = default;
  // The current session; may be null when the host works without one.
  virtual std::shared_ptr<Session> GetSession() = 0;
};

// Per-form value store: the last text of each path box, by form and key.
class NORV_EXPORT FormSettings {
 public:
  virtual ~FormSettings() = default;
  // Delivers the kept value into `value`; leaves it as it is when nothing is kept.
  virtual void ReadFormValue(const std::u16string& form_name, const std::u16string& key,
                             Variant& value) = 0;
  // Keeps `value` for the form and key, replacing what was kept. Called when a
  // path binder goes with its form; an error raised here is reported to the
  // user (or to standard error), not raised further.
  virtual void WriteFormValue(const std::u16string& form_name, const std::u16string& key,
                              const Variant& value) = 0;
};

class NORV_EXPORT HostApp {
 public:
  virtual ~HostApp() = default;
  // Shows the error pending in the caller (number, source, description).
  // Called by dialog handlers that trapped `error`; must not raise.
  virtual void ShowPendingError(const ComError& error) = 0;
  // The per-form value store (library-wide App() only).
  virtual FormSettings& GetFormSettings() = 0;
  // The current context, whose session the rate writer opens its books in.
  virtual std::shared_ptr<Context> GetContext() = 0;
};

}  // namespace norv::host
