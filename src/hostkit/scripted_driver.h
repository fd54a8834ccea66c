// ScriptedDriver: a FormsDriver that plays queued user actions instead of
// showing the form. Each modal show takes the next queued script; its actions
// are played in order while the form is visible (a click runs the form's
// handlers, which may hide it). A show without a script, or a script that runs
// out while the form is still up, closes the window (as a user would) and is
// noted in Problems(), so that a run never hangs.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/forms_driver.h"

namespace norv::hostkit {

struct UserAction {
  enum class Kind { kType, kTick, kPick, kClick, kClose, kCall };
  Kind kind = Kind::kClick;
  std::u16string control;                  // control name (not for kClose, kCall)
  std::u16string text;                     // kType: the text; kPick: the code
  int value = 0;                           // kTick: 0 or 1
  std::function<void(forms::Form&)> call;  // kCall: inspect or change the form mid-dialog
};

UserAction Type(std::u16string control, std::u16string text);
UserAction Tick(std::u16string control, int value);
UserAction Pick(std::u16string combo, std::u16string code);
UserAction Click(std::u16string control);
UserAction Close();
UserAction Call(std::function<void(forms::Form&)> call);

class ScriptedDriver : public forms::FormsDriver {
 public:
  // Queues the script of the next modal show; `form_name` is checked against
  // the form that is shown (a mismatch is noted in Problems()).
  ScriptedDriver& ExpectShow(std::u16string form_name, std::vector<UserAction> actions);

  void RunModal(forms::Form& form) override;
  void EndModal(forms::Form& form) override;

  // Names of the forms shown, in order.
  const std::vector<std::u16string>& Shown() const { return shown_; }
  // Scripts that did not fit the run (unexpected form, actions left, script exhausted).
  const std::vector<std::u16string>& Problems() const { return problems_; }
  size_t PendingScripts() const { return scripts_.size(); }

 private:
  struct Script {
    std::u16string form_name;
    std::vector<UserAction> actions;
  };
  // Plays one action; false when the script cannot go on (noted in Problems()).
  bool Play(forms::Form& form, const UserAction& action);

  std::vector<Script> scripts_;
  std::vector<std::u16string> shown_;
  std::vector<std::u16string> problems_;
};

}  // namespace norv::hostkit
