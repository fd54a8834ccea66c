// ResourceService: the host's resource module (library-wide, one per thread).
// Texts and form captions come from it by number.
#pragma once

#include <cstdint>
#include <string>

#include "../runtime/export.h"

namespace norv::forms {
class Form;
}

namespace norv::host {

class NORV_EXPORT ResourceService {
 public:
  virtual ~ResourceService() = default;
  // Chooses the module that later LoadText and LocalizeForm calls draw on.
  virtual void UseResourceModule(const std::u16string& module_name) = 0;
  // The text of a resource id; empty for an id the module does not have.
  virtual std::u16string LoadText(int32_t id) = 0;
  // Replaces every caption that is "#" and an id (form and controls) by that text.
  virtual void LocalizeForm(forms::Form& form) = 0;
};

}  // namespace norv::host
