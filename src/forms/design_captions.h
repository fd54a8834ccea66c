// Design texts behind caption markers: a form whose captions are "#NNNN"
// markers keeps its own Lithuanian design texts, shown wherever the host's
// LocalizeForm left a marker in place (a host without that resource module).
#pragma once

#include <span>
#include <string_view>

#include "../runtime/export.h"

namespace norv::forms {

class Form;

struct NORV_EXPORT MarkedCaption {
  std::u16string_view marker;
  std::u16string_view design_text;
};

// The design text of a marker in `table`; empty when the table lacks it.
NORV_EXPORT std::u16string_view DesignTextOf(std::span<const MarkedCaption> table,
                                             std::u16string_view marker);

// Replaces every caption of the form and its controls that still reads as its
// design marker by that marker's design text.
NORV_EXPORT void ShowDesignTextsForMarkers(Form& form, std::span<const MarkedCaption> table);

}  // namespace norv::forms
