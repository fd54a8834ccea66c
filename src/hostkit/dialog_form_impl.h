// DialogFormImpl: the host's OK/Cancel dialog frame over any FormsDriver. OK
// asks the attached form (btOKClick); a refusal shows ErrMessage through a new
// MessageWindow (error kind) and keeps the dialog up. Cancel hides the form.
#pragma once

#include <memory>

#include "host/dialog_form.h"
#include "host/host_library.h"

namespace norv::hostkit {

class DialogFormImpl : public host::DialogForm {
 public:
  explicit DialogFormImpl(host::HostLibrary& library) : library_(library) {}
  ~DialogFormImpl() override;

  void Attach(forms::Form& form, forms::CommandButton& ok, forms::CommandButton& cancel,
              std::shared_ptr<host::Session> session, bool ok_on_enter,
              bool cancel_on_escape) override;
  void SetEvents(host::DialogFormEvents* events) override { events_ = events; }
  void ShowDialog() override;

 private:
  void OkClicked();
  void CancelClicked();

  host::HostLibrary& library_;
  forms::Form* form_ = nullptr;
  forms::CommandButton* ok_ = nullptr;
  forms::CommandButton* cancel_ = nullptr;
  int ok_token_ = 0;
  int cancel_token_ = 0;
  host::DialogFormEvents* events_ = nullptr;
};

}  // namespace norv::hostkit
