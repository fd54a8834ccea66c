#include "json_records.h"

#include <limits>
#include <variant>

#include "runtime/com_error.h"
#include "runtime/text.h"

namespace clientbank {

using norv::hostkit::BookLayout;
using norv::hostkit::BookRecord;
using norv::hostkit::FieldKind;

namespace {

constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();

std::string Where(const char* what, size_t index, const std::string& key) {
  return std::string(what) + " " + std::to_string(index) + ", key \"" + key + "\"";
}

}  // namespace

Json BookRecordJson(const BookLayout& book, const BookRecord& record) {
  Json json;
  for (const auto& field : book.fields) {
    std::string name = norv::U16ToUtf8(field.name);
    auto it = record.find(std::u16string(field.name));
    if (it == record.end() || std::holds_alternative<std::monostate>(it->second)) {
      json[name] = nullptr;
      continue;
    }
    const norv::Variant& value = it->second;
    switch (field.kind) {
      case FieldKind::kText:
        json[name] = norv::U16ToUtf8(norv::VariantToText(value));
        break;
      case FieldKind::kAmount:
        json[name] = AmountText(norv::VariantToCurrency(value));
        break;
      case FieldKind::kDate:
        json[name] = DateText(norv::VariantToDate(value));
        break;
      case FieldKind::kInteger:
        json[name] = norv::VariantToInt32(value);
        break;
    }
  }
  return json;
}

BookRecord ReadBookRecord(const BookLayout& book, const Json& object, size_t index) {
  std::string record_name = "record " + std::to_string(index);
  if (!object.is_object()) Fail(norv::kErrTypeMismatch, record_name + ": expected a JSON object");
  BookRecord record;
  for (const auto& [key, value] : object.items()) {
    const auto* field = book.Field(norv::Utf8ToU16(key));
    if (field == nullptr) {
      Fail(norv::kErrInvalidCall, record_name + ": unknown key \"" + key + "\" (the book " +
                                      norv::U16ToUtf8(book.name) + " has no such field)");
    }
    std::string where = Where("record", index, key);
    norv::Variant field_value;
    switch (field->kind) {
      case FieldKind::kText:
        if (!value.is_null()) field_value = ReadText(value, where);
        break;
      case FieldKind::kAmount:
        if (!value.is_null()) field_value = ReadAmount(value, where);
        break;
      case FieldKind::kDate:
        if (!value.is_null()) field_value = ReadDate(value, where);
        break;
      case FieldKind::kInteger:
        if (!value.is_null()) {
          field_value = static_cast<int32_t>(ReadInteger(value, kInt32Min, kInt32Max, where));
        }
        break;
    }
    record[std::u16string(field->name)] = field_value;
  }
  for (std::u16string_view key : book.keys) {
    auto it = record.find(std::u16string(key));
    bool empty = it == record.end() || std::holds_alternative<std::monostate>(it->second) ||
                 (std::holds_alternative<std::u16string>(it->second) &&
                  std::get<std::u16string>(it->second).empty()) ||
                 (std::holds_alternative<norv::Date>(it->second) &&
                  std::get<norv::Date>(it->second).IsEmpty());
    if (empty) {
      Fail(norv::kErrInvalidCall,
           record_name + ": the key field \"" + norv::U16ToUtf8(key) + "\" is missing or empty");
    }
  }
  return record;
}

}  // namespace clientbank
