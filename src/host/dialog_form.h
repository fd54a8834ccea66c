// DialogForm: the host's OK/Cancel dialog frame. A form attaches itself with its
// OK and Cancel buttons; ShowDialog raises BeforeShow, then shows the form
// modally. A click on OK raises btOKClick: IsOk true closes the dialog, false
// shows ErrMessage and keeps it open. Cancel closes without an event.
#pragma once

#include <memory>
#include <string>

namespace norv::forms {
class Form;
class CommandButton;
}  // namespace norv::forms

namespace norv::host {

class Session;

class DialogFormEvents {
 public:
  virtual ~DialogFormEvents() = default;
  virtual void m_oForm_BeforeShow() = 0;
  virtual void m_oForm_btOKClick(bool& is_ok, std::u16string& err_message) = 0;
};

class DialogForm {
 public:
  virtual ~DialogForm() = default;
  virtual void Attach(forms::Form& form, forms::CommandButton& ok, forms::CommandButton& cancel,
                      std::shared_ptr<Session> session, bool flag1, bool flag2) = 0;
  // The receiver of BeforeShow and btOKClick (the attached form's handlers).
  virtual void SetEvents(DialogFormEvents* events) = 0;
  virtual void ShowDialog() = 0;
};

}  // namespace norv::host
