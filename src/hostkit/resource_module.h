// The resource module "NorvFormRes" of the default host: the Lithuanian texts
// of every resource id and caption marker the component uses, and the host's
// ResourceService over it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/resource_service.h"

namespace norv::hostkit {

inline constexpr char16_t kNorvFormRes[] = u"NorvFormRes";

// The text of `id` in "NorvFormRes"; empty for an id the module does not have.
std::u16string NorvFormResText(int32_t id);
// Every id the module has, ascending.
std::vector<int32_t> NorvFormResIds();

class ResourceModuleService : public host::ResourceService {
 public:
  // Only "NorvFormRes" is installed; another name raises 53 and keeps the module.
  void UseResourceModule(const std::u16string& module_name) override;
  std::u16string LoadText(int32_t id) override;
  // Captions that are "#" and an id the module has are replaced; others stay.
  void LocalizeForm(forms::Form& form) override;

  const std::u16string& CurrentModule() const { return module_; }

 private:
  std::u16string module_ = kNorvFormRes;
};

}  // namespace norv::hostkit
