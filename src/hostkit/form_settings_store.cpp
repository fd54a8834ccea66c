#include "hostkit/form_settings_store.h"

namespace norv::hostkit {

namespace {

// The variant's alternative index is stored as the kind; the value column holds
// text, the amount's raw integer, the date's serial, or the number.
void BindVariant(Statement& stmt, int index, const Variant& value) {
  std::visit(
      [&](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          stmt.BindNull(index);
        } else if constexpr (std::is_same_v<T, std::u16string>) {
          stmt.Bind(index, std::u16string_view(v));
        } else if constexpr (std::is_same_v<T, int32_t> || std::is_same_v<T, bool>) {
          stmt.Bind(index, static_cast<int64_t>(v));
        } else if constexpr (std::is_same_v<T, double>) {
          stmt.Bind(index, v);
        } else if constexpr (std::is_same_v<T, Currency>) {
          stmt.Bind(index, static_cast<int64_t>(v.raw()));
        } else {
          stmt.Bind(index, v.serial());
        }
      },
      value);
}

Variant ReadVariant(const Statement& stmt, int kind_column, int value_column) {
  switch (stmt.Int64(kind_column)) {
    case 1:
      return stmt.Text(value_column);
    case 2:
      return static_cast<int32_t>(stmt.Int64(value_column));
    case 3:
      return stmt.Double(value_column);
    case 4:
      return Currency::FromRaw(stmt.Int64(value_column));
    case 5:
      return Date(stmt.Double(value_column));
    case 6:
      return stmt.Int64(value_column) != 0;
    default:
      return std::monostate{};
  }
}

}  // namespace

void FormSettingsStore::ReadFormValue(const std::u16string& form_name, const std::u16string& key,
                                      Variant& value) {
  Statement read = db_->Prepare("SELECT kind, value FROM form_settings WHERE form = ? AND key = ?");
  read.Bind(1, std::u16string_view(form_name)).Bind(2, std::u16string_view(key));
  if (read.Step()) value = ReadVariant(read, 0, 1);
}

void FormSettingsStore::WriteFormValue(const std::u16string& form_name, const std::u16string& key,
                                       const Variant& value) {
  Statement write = db_->Prepare(
      "INSERT INTO form_settings (form, key, kind, value) VALUES (?, ?, ?, ?) "
      "ON CONFLICT (form, key) DO UPDATE SET kind = excluded.kind, value = excluded.value");
  write.Bind(1, std::u16string_view(form_name))
      .Bind(2, std::u16string_view(key))
      .Bind(3, static_cast<int64_t>(value.index()));
  BindVariant(write, 4, value);
  write.Run();
}

}  // namespace norv::hostkit
