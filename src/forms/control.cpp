#include "forms/control.h"

#include <algorithm>
#include <utility>

#include "forms/form.h"

namespace norv::forms {

int Event::Connect(Handler handler) {
  const int token = next_token_++;
  handlers_.emplace_back(token, std::move(handler));
  return token;
}

void Event::Disconnect(int token) {
  std::erase_if(handlers_, [token](const auto& entry) { return entry.first == token; });
}

void Event::Fire() {
  // A handler may connect or disconnect others (a dialog that detaches itself on
  // OK); work on a snapshot and skip the ones that went away meanwhile.
  const auto snapshot = handlers_;
  for (const auto& [token, handler] : snapshot) {
    const bool still_connected =
        std::any_of(handlers_.begin(), handlers_.end(),
                    [token = token](const auto& entry) { return entry.first == token; });
    if (still_connected) handler();
  }
}

Control::Control(Form& parent, ControlKind kind, std::u16string name, std::u16string design_caption)
    : parent_(parent),
      kind_(kind),
      name_(std::move(name)),
      design_caption_(std::move(design_caption)),
      caption_(design_caption_) {}

Form& Control::Parent() const {
  Touch();
  return parent_;
}

void Control::Touch() const { parent_.EnsureLoaded(); }

const std::u16string& Control::Caption() const {
  Touch();
  return caption_;
}

void Control::SetCaption(std::u16string caption) {
  Touch();
  caption_ = std::move(caption);
  NotifyChanged();
}

bool Control::Visible() const {
  Touch();
  return visible_;
}

void Control::SetVisible(bool visible) {
  Touch();
  visible_ = visible;
  NotifyChanged();
}

bool Control::Enabled() const {
  Touch();
  return enabled_;
}

void Control::SetEnabled(bool enabled) {
  Touch();
  enabled_ = enabled;
  NotifyChanged();
}

// Runs while the form unloads: must not touch the form (that would load it again).
void Control::ResetToDesign() {
  caption_ = design_caption_;
  visible_ = design_visible_;
  enabled_ = true;
}

TextBox::TextBox(Form& parent, std::u16string name)
    : Control(parent, ControlKind::kTextBox, std::move(name), u"") {}

const std::u16string& TextBox::Text() const {
  Touch();
  return text_;
}

void TextBox::SetText(std::u16string text) {
  Touch();
  text_ = std::move(text);
  NotifyChanged();
}

void TextBox::ResetToDesign() {
  Control::ResetToDesign();
  text_.clear();
}

CheckBox::CheckBox(Form& parent, std::u16string name, std::u16string caption, bool design_visible)
    : Control(parent, ControlKind::kCheckBox, std::move(name), std::move(caption)) {
  SetDesignVisible(design_visible);
}

int CheckBox::Value() const {
  Touch();
  return value_;
}

void CheckBox::SetValue(int value) {
  Touch();
  value_ = value;
  NotifyChanged();
}

void CheckBox::ResetToDesign() {
  Control::ResetToDesign();
  value_ = 0;
}

CommandButton::CommandButton(Form& parent, std::u16string name, std::u16string caption)
    : Control(parent, ControlKind::kCommandButton, std::move(name), std::move(caption)) {}

void CommandButton::Click() {
  if (!Enabled() || !Visible()) return;
  clicked_.Fire();
}

Label::Label(Form& parent, std::u16string name, std::u16string caption)
    : Control(parent, ControlKind::kLabel, std::move(name), std::move(caption)) {}

Frame::Frame(Form& parent, std::u16string name, std::u16string caption)
    : Control(parent, ControlKind::kFrame, std::move(name), std::move(caption)) {}

HostCombo::HostCombo(Form& parent, std::u16string name, std::u16string object_name)
    : Control(parent, ControlKind::kHostCombo, std::move(name), u""),
      object_name_(std::move(object_name)) {}

const std::u16string& HostCombo::SelectedCode() const {
  Touch();
  return selected_code_;
}

void HostCombo::SetSelectedCode(std::u16string code) {
  Touch();
  selected_code_ = std::move(code);
  NotifyChanged();
}

void HostCombo::ResetToDesign() {
  Control::ResetToDesign();
  selected_code_.clear();
}

}  // namespace norv::forms
