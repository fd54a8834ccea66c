// Form: a dialog of the forms runtime. It owns its controls in design order and
// follows the platform's lifecycle:
//   - the first use of a control, or Load(), loads the form: Form_Load runs once;
//   - ShowModal() loads, shows and blocks in the thread's FormsDriver until the
//     form is hidden or unloaded; handlers run nested inside it;
//   - Hide() ends the modal show; the form stays loaded with its values;
//   - Unload() runs Form_Unload, ends a modal show and brings the controls back
//     to their design state; the next use loads the form again;
//   - CloseByUser() (the window's close box) unloads.
//
// Errors raised by the form's own handlers (Form_Load, Form_Unload, event
// handlers of its controls) pass to whoever caused them: the use of a control,
// Load, ShowModal or Unload. Every member runs on the thread of the host
// library that the form's driver belongs to.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../runtime/export.h"
#include "control.h"

namespace norv::forms {

class NORV_EXPORT Form {
 public:
  // A form named `name` (the key of its settings and of its scripted show)
  // with its design caption and font. Not loaded yet: Form_Load has not run.
  Form(std::u16string name, std::u16string design_caption, std::u16string font = u"Tahoma");
  // Destroys the controls without running Form_Unload: a form that must save
  // its state unloads first.
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::u16string& Name() const { return name_; }
  // The window caption; the design caption until set (reading it loads).
  const std::u16string& Caption() const;
  void SetCaption(std::u16string caption);
  const std::u16string& DesignCaption() const { return design_caption_; }
  const std::u16string& FontName() const { return font_; }

  // Controls in design order (the order of the form's layout table).
  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }
  // The control of that name, or nullptr. Does not load the form.
  Control* FindControl(std::u16string_view name) const;

  bool IsLoaded() const { return loaded_; }
  bool IsVisible() const { return visible_; }
  // A number standing for the form's window, passed to host dialogs as the owner.
  // 0 while the form is not loaded.
  intptr_t WindowHandle() const;

  // Loads the form (Form_Load) unless it is loaded. If Form_Load raises, the
  // form stays unloaded in its design state and the error passes on.
  void Load();
  // Loads, shows and returns when the form is hidden or unloaded. Raises 400
  // when the form is already in its own modal show, 91 without a host library;
  // if the driver raises, the form is hidden and the error passes on.
  void ShowModal();
  // Ends a modal show; the form stays loaded with its values. Does not load.
  void Hide();
  // Runs Form_Unload, ends a modal show and brings the caption and every
  // control back to the design state. If Form_Unload raises, the form stays
  // loaded and shown as it was. Does nothing on a form that is not loaded.
  void Unload();
  // The user closed the window: unloads as Unload does.
  void CloseByUser();

  // For drivers: true while a modal show of this form is running.
  bool InModalShow() const { return modal_depth_ > 0; }

 protected:
  template <typename T, typename... Args>
  T& AddControl(Args&&... args) {
    auto control = std::make_unique<T>(*this, std::forward<Args>(args)...);
    T& ref = *control;
    controls_.push_back(std::move(control));
    return ref;
  }

  virtual void Form_Load() {}
  virtual void Form_Unload() {}

 private:
  friend class Control;
  void EnsureLoaded();

  std::u16string name_;
  std::u16string design_caption_;
  std::u16string caption_;
  std::u16string font_;
  std::vector<std::unique_ptr<Control>> controls_;
  bool loaded_ = false;
  bool loading_ = false;
  bool unloading_ = false;
  bool visible_ = false;
  int modal_depth_ = 0;
  intptr_t handle_ = 0;
};

}  // namespace norv::forms
