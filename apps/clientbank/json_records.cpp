#include "json_records.h"

#include <limits>
#include <variant>

#include "runtime/com_error.h"
#include "runtime/text.h"

namespace clientbank {

using norv::PaymentDoc;
using norv::hostkit::BookRecord;
using norv::hostkit::BookSpec;
using norv::hostkit::FieldKind;

namespace {

using PaymentMember =
    std::variant<std::u16string PaymentDoc::*, norv::Currency PaymentDoc::*,
                 norv::Date PaymentDoc::*, int32_t PaymentDoc::*, int64_t PaymentDoc::*>;

struct PaymentField {
  const char* name;
  PaymentMember member;
};

// In record order.
const PaymentField kPaymentFields[] = {
    {"PayerCode", &PaymentDoc::PayerCode},
    {"PayerName", &PaymentDoc::PayerName},
    {"PayerBankCode", &PaymentDoc::PayerBankCode},
    {"PayerAccount", &PaymentDoc::PayerAccount},
    {"Unnamed5", &PaymentDoc::Unnamed5},
    {"PayeeBankCode", &PaymentDoc::PayeeBankCode},
    {"PayeeBankSwift", &PaymentDoc::PayeeBankSwift},
    {"PayeeBankName", &PaymentDoc::PayeeBankName},
    {"PayeeBankAddress", &PaymentDoc::PayeeBankAddress},
    {"PayeeAccount", &PaymentDoc::PayeeAccount},
    {"PayeeCode", &PaymentDoc::PayeeCode},
    {"Unnamed12", &PaymentDoc::Unnamed12},
    {"PayeeName", &PaymentDoc::PayeeName},
    {"PayeeAddress", &PaymentDoc::PayeeAddress},
    {"Amount", &PaymentDoc::Amount},
    {"CurrencyCode", &PaymentDoc::CurrencyCode},
    {"Unnamed17", &PaymentDoc::Unnamed17},
    {"DocNumber", &PaymentDoc::DocNumber},
    {"DocDate", &PaymentDoc::DocDate},
    {"PurposeCode", &PaymentDoc::PurposeCode},
    {"PaymentType", &PaymentDoc::PaymentType},
    {"Purpose", &PaymentDoc::Purpose},
    {"Unnamed23", &PaymentDoc::Unnamed23},
    {"AltPurpose", &PaymentDoc::AltPurpose},
    {"ChargesAccount", &PaymentDoc::ChargesAccount},
    {"ChargesCurrency", &PaymentDoc::ChargesCurrency},
    {"ForeignBankCharges", &PaymentDoc::ForeignBankCharges},
    {"Unnamed28", &PaymentDoc::Unnamed28},
    {"Unnamed29", &PaymentDoc::Unnamed29},
    {"Unnamed30", &PaymentDoc::Unnamed30},
    {"Unnamed31", &PaymentDoc::Unnamed31},
};

constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();

void ReadPaymentField(const PaymentField& field, const Json& value, PaymentDoc& doc,
                      const std::string& where) {
  std::visit(
      [&](auto member) {
        using T = std::remove_reference_t<decltype(doc.*member)>;
        if constexpr (std::is_same_v<T, std::u16string>) {
          doc.*member = ReadText(value, where);
        } else if constexpr (std::is_same_v<T, norv::Currency>) {
          doc.*member = ReadAmount(value, where);
        } else if constexpr (std::is_same_v<T, norv::Date>) {
          doc.*member = ReadDate(value, where);
        } else if constexpr (std::is_same_v<T, int32_t>) {
          doc.*member = static_cast<int32_t>(ReadInteger(value, kInt32Min, kInt32Max, where));
        } else {
          doc.*member = ReadInteger(value, std::numeric_limits<int64_t>::min(),
                                    std::numeric_limits<int64_t>::max(), where);
        }
      },
      field.member);
}

std::string Where(const char* what, size_t index, const std::string& key) {
  return std::string(what) + " " + std::to_string(index) + ", key \"" + key + "\"";
}

}  // namespace

std::vector<ExportDocument> ReadPaymentDocs(const Json& array) {
  std::vector<ExportDocument> docs;
  size_t index = 0;
  for (const Json& object : array) {
    ++index;
    if (!object.is_object()) {
      Fail(norv::kErrTypeMismatch,
           "document " + std::to_string(index) + ": expected a JSON object");
    }
    ExportDocument entry;
    for (const auto& [key, value] : object.items()) {
      std::string where = Where("document", index, key);
      if (key == "DocType") {
        entry.doc_type = static_cast<int32_t>(ReadInteger(value, kInt32Min, kInt32Max, where));
        continue;
      }
      const PaymentField* field = nullptr;
      for (const PaymentField& candidate : kPaymentFields) {
        if (key == candidate.name) field = &candidate;
      }
      if (field == nullptr) {
        Fail(norv::kErrInvalidCall,
             "document " + std::to_string(index) + ": unknown key \"" + key + "\"");
      }
      ReadPaymentField(*field, value, entry.doc, where);
    }
    docs.push_back(std::move(entry));
  }
  return docs;
}

Json HeaderJson(const norv::StHead& head) {
  Json json;
  json["Account"] = norv::U16ToUtf8(head.Account);
  json["DateFrom"] = DateText(head.DateFrom);
  json["DateTo"] = DateText(head.DateTo);
  json["CreditSideDocs"] = head.CreditSideDocs;
  return json;
}

Json StatementDocJson(const norv::StatementDoc& doc) {
  using norv::U16ToUtf8;
  Json json;
  json["DocKind"] = doc.DocKind;
  json["ClientAccount"] = U16ToUtf8(doc.ClientAccount);
  json["CorrAccount"] = U16ToUtf8(doc.CorrAccount);
  json["CorrCode"] = U16ToUtf8(doc.CorrCode);
  json["CorrBankName"] = U16ToUtf8(doc.CorrBankName);
  json["Amount"] = AmountText(doc.Amount);
  json["CurrencyCode"] = U16ToUtf8(doc.CurrencyCode);
  json["IsDebit"] = doc.IsDebit;
  json["CurrencyKind"] = doc.CurrencyKind;
  json["DocNumber"] = U16ToUtf8(doc.DocNumber);
  json["OpDate"] = DateText(doc.OpDate);
  json["Comment"] = U16ToUtf8(doc.Comment);
  json["ClientIban"] = U16ToUtf8(doc.ClientIban);
  json["CorrIban"] = U16ToUtf8(doc.CorrIban);
  return json;
}

Json BookRecordJson(const BookSpec& book, const BookRecord& record) {
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

BookRecord ReadBookRecord(const BookSpec& book, const Json& object, size_t index) {
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
