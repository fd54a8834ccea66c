#include "jobs/dialog_outcome.h"

#include "forms/control.h"
#include "forms/form.h"

namespace norv::jobs {

DialogOutcome::DialogOutcome(hostkit::DefaultHost& host, std::u16string form_name,
                             std::vector<std::u16string> text_boxes)
    : host_(host), form_name_(std::move(form_name)), boxes_(std::move(text_boxes)) {
  previous_ = host_.SetShowEndObserver([this](forms::Form& form) {
    if (previous_) previous_(form);
    if (form.Name() != form_name_ || !form.IsLoaded()) return;
    ended_loaded_ = true;
    for (const std::u16string& name : boxes_) {
      forms::Control* control = form.FindControl(name);
      auto* box = dynamic_cast<forms::TextBox*>(control);
      auto* combo = dynamic_cast<forms::HostCombo*>(control);
      texts_[name] = box != nullptr ? box->Text() : combo != nullptr ? combo->SelectedCode() : u"";
    }
  });
}

DialogOutcome::~DialogOutcome() { host_.SetShowEndObserver(std::move(previous_)); }

std::u16string DialogOutcome::Text(const std::u16string& box) const {
  auto it = texts_.find(box);
  return it != texts_.end() ? it->second : u"";
}

}  // namespace norv::jobs
