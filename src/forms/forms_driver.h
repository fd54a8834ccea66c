// FormsDriver: performs the modal show of a form. The scripted driver plays
// queued user actions; the Qt driver puts the form on screen.
#pragma once

#include "../runtime/export.h"

namespace norv::forms {

class Form;

class NORV_EXPORT FormsDriver {
 public:
  virtual ~FormsDriver() = default;
  // Shows `form` and returns when it is no longer visible (hidden or unloaded).
  // Event handlers of the form run inside this call.
  virtual void RunModal(Form& form) = 0;
  // Called by the form when it is hidden or unloaded during a modal show, so the
  // driver can leave its loop.
  virtual void EndModal(Form& form) = 0;
};

}  // namespace norv::forms
