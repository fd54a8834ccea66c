#include "hostkit/scripted_driver.h"

#include <utility>

#include "forms/control.h"

namespace norv::hostkit {

UserAction Type(std::u16string control, std::u16string text) {
  UserAction action;
  action.kind = UserAction::Kind::kType;
  action.control = std::move(control);
  action.text = std::move(text);
  return action;
}

UserAction Tick(std::u16string control, int value) {
  UserAction action;
  action.kind = UserAction::Kind::kTick;
  action.control = std::move(control);
  action.value = value;
  return action;
}

UserAction Pick(std::u16string combo, std::u16string code) {
  UserAction action;
  action.kind = UserAction::Kind::kPick;
  action.control = std::move(combo);
  action.text = std::move(code);
  return action;
}

UserAction Click(std::u16string control) {
  UserAction action;
  action.kind = UserAction::Kind::kClick;
  action.control = std::move(control);
  return action;
}

UserAction Close() {
  UserAction action;
  action.kind = UserAction::Kind::kClose;
  return action;
}

UserAction Call(std::function<void(forms::Form&)> call) {
  UserAction action;
  action.kind = UserAction::Kind::kCall;
  action.call = std::move(call);
  return action;
}

ScriptedDriver& ScriptedDriver::ExpectShow(std::u16string form_name,
                                           std::vector<UserAction> actions) {
  scripts_.push_back(Script{std::move(form_name), std::move(actions)});
  return *this;
}

namespace {

bool StillShown(const forms::Form& form) { return form.IsLoaded() && form.IsVisible(); }

// A user can only change what is on screen and enabled.
bool CanUse(const forms::Control& control) { return control.Visible() && control.Enabled(); }

}  // namespace

void ScriptedDriver::RunModal(forms::Form& form) {
  shown_.push_back(form.Name());
  if (scripts_.empty()) {
    problems_.push_back(u"no script for " + form.Name());
    form.CloseByUser();
    return;
  }
  if (scripts_.front().form_name != form.Name()) {
    // The script stays queued: it belongs to a show that has not come yet.
    problems_.push_back(u"expected " + scripts_.front().form_name + u", shown " + form.Name());
    form.CloseByUser();
    return;
  }
  Script script = std::move(scripts_.front());
  scripts_.erase(scripts_.begin());

  for (size_t i = 0; i < script.actions.size(); ++i) {
    if (!StillShown(form)) {
      problems_.push_back(form.Name() + u": actions left after the dialog closed");
      return;
    }
    if (!Play(form, script.actions[i])) {
      if (StillShown(form)) form.CloseByUser();
      return;
    }
  }
  if (StillShown(form)) {
    problems_.push_back(form.Name() + u": script ran out while the dialog was still shown");
    form.CloseByUser();
  }
}

bool ScriptedDriver::Play(forms::Form& form, const UserAction& action) {
  using Kind = UserAction::Kind;
  if (action.kind == Kind::kClose) {
    form.CloseByUser();
    return true;
  }
  if (action.kind == Kind::kCall) {
    action.call(form);
    return true;
  }
  forms::Control* control = form.FindControl(action.control);
  if (control == nullptr) {
    problems_.push_back(form.Name() + u": no control " + action.control);
    return false;
  }
  switch (action.kind) {
    case Kind::kType:
      if (control->kind() != forms::ControlKind::kTextBox) break;
      if (!CanUse(*control)) {
        problems_.push_back(form.Name() + u": cannot type into " + action.control);
        return true;
      }
      static_cast<forms::TextBox*>(control)->SetText(action.text);
      return true;
    case Kind::kTick:
      if (control->kind() != forms::ControlKind::kCheckBox) break;
      if (!CanUse(*control)) {
        problems_.push_back(form.Name() + u": cannot tick " + action.control);
        return true;
      }
      static_cast<forms::CheckBox*>(control)->SetValue(action.value);
      return true;
    case Kind::kPick:
      if (control->kind() != forms::ControlKind::kHostCombo) break;
      if (!CanUse(*control)) {
        problems_.push_back(form.Name() + u": cannot pick in " + action.control);
        return true;
      }
      static_cast<forms::HostCombo*>(control)->SetSelectedCode(action.text);
      return true;
    case Kind::kClick:
      if (control->kind() == forms::ControlKind::kCommandButton) {
        // A click on a disabled or hidden button does nothing, as on screen.
        static_cast<forms::CommandButton*>(control)->Click();
        return true;
      }
      if (control->kind() == forms::ControlKind::kCheckBox) {
        auto* box = static_cast<forms::CheckBox*>(control);
        if (CanUse(*box)) box->SetValue(box->Value() == 0 ? 1 : 0);
        return true;
      }
      break;
    case Kind::kClose:
    case Kind::kCall:
      break;
  }
  problems_.push_back(form.Name() + u": " + action.control + u" does not take that action");
  return false;
}

void ScriptedDriver::EndModal(forms::Form&) {
  // Actions are played synchronously; RunModal sees the form hidden and stops.
}

}  // namespace norv::hostkit
