// FormSettingsStore: the host's per-form value store (the last text of each
// path box) in the database, one row per form and key; a value keeps its kind.
#pragma once

#include <memory>
#include <string>

#include "host/host_app.h"
#include "hostkit/database.h"

namespace norv::hostkit {

class FormSettingsStore : public host::FormSettings {
 public:
  explicit FormSettingsStore(std::shared_ptr<Database> db) : db_(std::move(db)) {}
  void ReadFormValue(const std::u16string& form_name, const std::u16string& key,
                     Variant& value) override;
  // Each write commits.
  void WriteFormValue(const std::u16string& form_name, const std::u16string& key,
                      const Variant& value) override;

 private:
  std::shared_ptr<Database> db_;
};

}  // namespace norv::hostkit
