// Controls of the forms runtime. A control belongs to one Form, which creates
// it at design time; reading or writing any property loads the form first
// (Form_Load runs once), as the platform's forms do.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "../runtime/export.h"

namespace norv::forms {

class Form;

enum class ControlKind { kTextBox, kCheckBox, kCommandButton, kLabel, kFrame, kHostCombo };

// A list of handlers for one event. Connect returns a token for Disconnect.
class NORV_EXPORT Event {
 public:
  using Handler = std::function<void()>;
  // Adds a handler; the token (never 0) removes it again.
  int Connect(Handler handler);
  // Removes the handler of `token`; an unknown token is ignored. A handler
  // removed while the event fires is not called later in that fire.
  void Disconnect(int token);
  void Fire();  // calls the handlers in connection order; errors pass to the caller
  bool empty() const { return handlers_.empty(); }

 private:
  std::vector<std::pair<int, Handler>> handlers_;
  int next_token_ = 1;
};

class NORV_EXPORT Control {
 public:
  // Made by the form's constructor (Form::AddControl), which owns it.
  Control(Form& parent, ControlKind kind, std::u16string name, std::u16string design_caption);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  ControlKind kind() const { return kind_; }
  const std::u16string& Name() const { return name_; }
  Form& Parent() const;  // loads the form

  // The caption (labels, frames, buttons, check boxes); a caption "#NNNN" is a
  // resource marker that the host's LocalizeForm replaces.
  // Each getter and setter below loads the form first; every setter fires
  // Changed.
  const std::u16string& Caption() const;
  void SetCaption(std::u16string caption);
  bool Visible() const;
  void SetVisible(bool visible);
  bool Enabled() const;  // a disabled button ignores Click
  void SetEnabled(bool enabled);

  // The design-time caption; Unload brings the control back to its design state.
  const std::u16string& DesignCaption() const { return design_caption_; }
  // Back to the design state without firing Changed (Unload calls it).
  virtual void ResetToDesign();

  // Raised after a property changed; drivers use it to repaint.
  Event& Changed() { return changed_; }

 protected:
  void Touch() const;  // loads the parent form
  void NotifyChanged() { changed_.Fire(); }
  // For constructors: sets the design-time visibility without loading the form.
  void SetDesignVisible(bool visible) { design_visible_ = visible_ = visible; }

 private:
  Form& parent_;
  ControlKind kind_;
  std::u16string name_;
  std::u16string design_caption_;
  std::u16string caption_;
  bool visible_ = true;
  bool design_visible_ = true;
  bool enabled_ = true;
  Event changed_;

  friend class Form;
};

class NORV_EXPORT TextBox : public Control {
 public:
  TextBox(Form& parent, std::u16string name);
  // The text; empty by design. Loads the form.
  const std::u16string& Text() const;
  void SetText(std::u16string text);
  void ResetToDesign() override;

 private:
  std::u16string text_;
};

class NORV_EXPORT CheckBox : public Control {
 public:
  CheckBox(Form& parent, std::u16string name, std::u16string caption, bool design_visible = true);
  int Value() const;  // 0 unchecked, 1 checked
  // Sets the state (0 or 1). Loads the form.
  void SetValue(int value);
  void ResetToDesign() override;

 private:
  int value_ = 0;
};

class NORV_EXPORT CommandButton : public Control {
 public:
  CommandButton(Form& parent, std::u16string name, std::u16string caption);
  // Raises the click as a user's click does: nothing happens when the button is
  // disabled or hidden.
  void Click();
  Event& Clicked() { return clicked_; }

 private:
  Event clicked_;
};

class NORV_EXPORT Label : public Control {
 public:
  Label(Form& parent, std::u16string name, std::u16string caption);
};

class NORV_EXPORT Frame : public Control {
 public:
  Frame(Form& parent, std::u16string name, std::u16string caption);
};

// The host's combo control, bound by its design property `objectname` to a host
// book; the driver lists the book and answers SelectedCode.
class NORV_EXPORT HostCombo : public Control {
 public:
  HostCombo(Form& parent, std::u16string name, std::u16string object_name);
  const std::u16string& ObjectName() const { return object_name_; }
  const std::u16string& SelectedCode() const;  // empty when nothing is chosen
  // Chooses the entry of `code` (empty: none). The control does not check the
  // code against the book; the driver offers only the book's entries.
  void SetSelectedCode(std::u16string code);
  void ResetToDesign() override;

 private:
  std::u16string object_name_;
  std::u16string selected_code_;
};

}  // namespace norv::forms
