#include "forms/design_captions.h"

#include <string>

#include "forms/form.h"

namespace norv::forms {

std::u16string_view DesignTextOf(std::span<const MarkedCaption> table, std::u16string_view marker) {
  for (const MarkedCaption& entry : table) {
    if (entry.marker == marker) return entry.design_text;
  }
  return {};
}

void ShowDesignTextsForMarkers(Form& form, std::span<const MarkedCaption> table) {
  if (form.Caption() == form.DesignCaption()) {
    if (auto text = DesignTextOf(table, form.DesignCaption()); !text.empty()) {
      form.SetCaption(std::u16string(text));
    }
  }
  for (const auto& control : form.Controls()) {
    if (control->Caption() != control->DesignCaption()) continue;
    if (auto text = DesignTextOf(table, control->DesignCaption()); !text.empty()) {
      control->SetCaption(std::u16string(text));
    }
  }
}

}  // namespace norv::forms
