#include "hostkit/dialog_form_impl.h"

#include <string>

#include "forms/control.h"
#include "forms/form.h"
#include "host/message_window.h"

namespace norv::hostkit {

DialogFormImpl::~DialogFormImpl() {
  // The attached form outlives the frame (the rate dialog is kept for the
  // thread); its buttons must not call into a frame that is gone.
  if (ok_ != nullptr) ok_->Clicked().Disconnect(ok_token_);
  if (cancel_ != nullptr) cancel_->Clicked().Disconnect(cancel_token_);
}

void DialogFormImpl::Attach(forms::Form& form, forms::CommandButton& ok,
                            forms::CommandButton& cancel, std::shared_ptr<host::Session>, bool,
                            bool) {
  if (ok_ != nullptr) ok_->Clicked().Disconnect(ok_token_);
  if (cancel_ != nullptr) cancel_->Clicked().Disconnect(cancel_token_);
  form_ = &form;
  ok_ = &ok;
  cancel_ = &cancel;
  ok_token_ = ok.Clicked().Connect([this] { OkClicked(); });
  cancel_token_ = cancel.Clicked().Connect([this] { CancelClicked(); });
}

void DialogFormImpl::ShowDialog() {
  if (form_ == nullptr) return;
  // The attached form has no load handler of its own: the frame puts the
  // resource texts into its "#" captions.
  library_.Resources().LocalizeForm(*form_);
  if (events_ != nullptr) events_->m_oForm_BeforeShow();
  form_->ShowModal();
}

void DialogFormImpl::OkClicked() {
  bool is_ok = true;
  std::u16string message;
  if (events_ != nullptr) events_->m_oForm_btOKClick(is_ok, message);
  if (is_ok) {
    form_->Hide();
    return;
  }
  std::unique_ptr<host::MessageWindow> window = library_.CreateMessageWindow();
  host::ShowSimpleMessage(*window, message, host::kMessageError);
}

void DialogFormImpl::CancelClicked() { form_->Hide(); }

}  // namespace norv::hostkit
