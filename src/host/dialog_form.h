// DialogForm: the host's OK/Cancel dialog frame. A form attaches itself with its
// OK and Cancel buttons; ShowDialog raises BeforeShow, then shows the form
// modally. A click on OK raises btOKClick: IsOk true closes the dialog, false
// shows ErrMessage and keeps it open. Cancel closes without an event.
#pragma once

#include <memory>
#include <string>

#include "../runtime/export.h"

namespace norv::forms {
class Form;
class CommandButton;
}  // namespace norv::forms

namespace norv::host {

class Session;

class NORV_EXPORT DialogFormEvents {
 public:
  virtual ~DialogFormEvents() = default;
  // Raised by ShowDialog just before the form appears.
  virtual void m_oForm_BeforeShow() = 0;
  // Raised by a click on OK, with `is_ok` true and `err_message` empty. The
  // handler sets `is_ok` false (and may set `err_message`) to keep the dialog
  // open. Handlers trap their own errors; they do not raise into the frame.
  virtual void m_oForm_btOKClick(bool& is_ok, std::u16string& err_message) = 0;
};

class NORV_EXPORT DialogForm {
 public:
  virtual ~DialogForm() = default;
  // Makes `form` the frame's content with `ok` and `cancel` as its two buttons.
  // `session` is the host session the dialog works in (none: the current one).
  // `ok_on_enter` asks that Enter click OK and `cancel_on_escape` that Escape
  // click Cancel; the component passes true for both. hostkit's frame does not
  // read them: its scripted driver has no keyboard, and on screen the Qt
  // dialog's own keys apply. A second Attach replaces the first.
  virtual void Attach(forms::Form& form, forms::CommandButton& ok, forms::CommandButton& cancel,
                      std::shared_ptr<Session> session, bool ok_on_enter,
                      bool cancel_on_escape) = 0;
  // The receiver of BeforeShow and btOKClick (the attached form's handlers).
  virtual void SetEvents(DialogFormEvents* events) = 0;
  // Shows the attached form modally and returns when it has closed (OK
  // accepted, Cancel, or closed by the user). REQUIRES: Attach. Does nothing
  // without an attached form.
  virtual void ShowDialog() = 0;
};

}  // namespace norv::host
