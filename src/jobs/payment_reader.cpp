#include "jobs/payment_reader.h"

#include <array>
#include <cstring>
#include <limits>
#include <string_view>
#include <utility>
#include <variant>

#include <simdjson.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "jobs/job_error.h"
#include "jobs/json_documents.h"
#include "jobs/json_values.h"
#include "runtime/com_error.h"

namespace norv::jobs {

namespace {

namespace ondemand = simdjson::ondemand;

// ---------------------------------------------------------------------------
// The fields of a payment object.

using Member = std::variant<std::u16string PaymentDoc::*, Currency PaymentDoc::*,
                            Date PaymentDoc::*, int32_t PaymentDoc::*, int64_t PaymentDoc::*>;

struct Field {
  std::string_view name;
  Member member;  // DocType has none: it is no field of the record
};

// "DocType" first, then the record's fields in record order, which is the
// order files usually hold them in.
const Field kFields[] = {
    {"DocType", Member{}},
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
constexpr size_t kFieldCount = std::size(kFields);
constexpr size_t kDocTypeField = 0;
constexpr size_t kNoField = kFieldCount;

// ---------------------------------------------------------------------------
// One document: its object read field by field with simdjson's On-Demand API,
// every problem raised as a ComError naming the document and the key.

class DocumentReader {
 public:
  DocumentReader(const std::string& name, const std::function<void(int64_t, PaymentEntry&)>& take)
      : name_(name), take_(take), where_([this] { return Where(); }) {}

  const PaymentCounts& counts() const { return counts_; }

  // Parses the document in `doc`, which began at byte `offset` of the file, and
  // hands it over; `control_at` is where the scan met a control character in a
  // string (-1: nowhere). Makes room for simdjson's padding behind the bytes.
  void Read(std::string& doc, int64_t offset, int64_t control_at) {
    ClearEntry();
    doc_number_.clear();
    unknown_key_.clear();
    field_ = kNoField;
    begin_ = doc.data();
    offset_ = offset;
    if (control_at >= 0) {
      FailBroken(doc, static_cast<size_t>(control_at), "a control character in a string");
    }
    doc.reserve(doc.size() + simdjson::SIMDJSON_PADDING);
    begin_ = doc.data();
    end_of_doc_ = static_cast<int64_t>(doc.size());
    ondemand::document parsed;
    const simdjson::error_code error =
        parser_.iterate(doc.data(), doc.size(), doc.capacity()).get(parsed);
    if (error != simdjson::SUCCESS) {
      FailBroken(doc, error == simdjson::UTF8_ERROR ? FirstInvalidUtf8(doc) : doc.size(),
                 simdjson::error_message(error));
    }
    ondemand::object object;
    ondemand::json_type type;
    Check(parsed.type().get(type), &parsed);
    if (type != ondemand::json_type::object) WrongKind("a JSON object", TypeName(type));
    Check(parsed.get_object().get(object), &parsed);
    for (auto result : object) {
      ondemand::field field;
      Check(std::move(result).get(field), &parsed);
      std::string_view key;
      Check(field.unescaped_key().get(key), &parsed);
      field_ = FindField(key);
      if (field_ == kNoField) {
        unknown_key_ = key;
        Fail(kErrInvalidCall, "unknown key");
      }
      ReadValue(field.value(), parsed);
    }
    // Past the object the parser stands outside the document, unless more follows.
    const char* more = nullptr;
    if (parsed.current_location().get(more) == simdjson::SUCCESS) {
      FailAt(more - begin_, "more after the object");
    }
    field_ = kNoField;
    take_(index_, entry_);
    ++(entry_.doc_type == kLocalPayment ? counts_.local : counts_.foreign);
    ++index_;
  }

  // A problem of the file around the documents, at byte `offset` of the file.
  [[noreturn]] void FailFile(int64_t offset, const std::string& what) {
    field_ = kNoField;
    doc_number_.clear();
    FailJob(kErrInvalidCall,
            Where() + ": not valid JSON at byte " + std::to_string(offset + 1) + ": " + what);
  }
  // An element of the array that is no object, by its first byte.
  [[noreturn]] void NotAnObject(int first, int64_t offset) {
    field_ = kNoField;
    doc_number_.clear();
    switch (first) {
      case '[':
        WrongKind("a JSON object", "an array");
      case '"':
        WrongKind("a JSON object", "a string");
      case 't':
      case 'f':
        WrongKind("a JSON object", "true or false");
      case 'n':
        WrongKind("a JSON object", "null");
      default:
        if (first == '-' || (first >= '0' && first <= '9')) WrongKind("a JSON object", "a number");
    }
    FailFile(offset, first == EOF ? "the file ends" : "expected a JSON object");
  }

 private:
  // Empties the entry for the next document, keeping its texts' buffers.
  void ClearEntry() {
    entry_.doc_type = 0;
    for (const Field& field : kFields) {
      std::visit(
          [this](auto member) {
            if (member == nullptr) return;
            using T = std::remove_reference_t<decltype(entry_.doc.*member)>;
            if constexpr (std::is_same_v<T, std::u16string>) {
              (entry_.doc.*member).clear();
            } else {
              entry_.doc.*member = T{};
            }
          },
          field.member);
    }
  }

  // UTF-8 that the parser has validated, as UTF-16 into `out`'s buffer. Not
  // Utf8ToU16: that one checks every sequence again and returns a new string,
  // which cost the export a twentieth of its time.
  static void AssignUtf16(std::string_view utf8, std::u16string& out) {
    out.resize(utf8.size());  // never more code units than bytes
    size_t n = 0;
    for (size_t i = 0; i < utf8.size();) {
      // Most text is ASCII: sixteen or eight bytes at a time while it is (the
      // output never runs ahead of the input, so there is room).
#if defined(__SSE2__)
      if (utf8.size() - i >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(utf8.data() + i));
        if (_mm_movemask_epi8(bytes) == 0) {
          char16_t* to = out.data() + n;
          _mm_storeu_si128(reinterpret_cast<__m128i*>(to),
                           _mm_unpacklo_epi8(bytes, _mm_setzero_si128()));
          _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 8),
                           _mm_unpackhi_epi8(bytes, _mm_setzero_si128()));
          n += 16;
          i += 16;
          continue;
        }
      }
#endif
      uint64_t word;
      if (utf8.size() - i >= 8 &&
          (std::memcpy(&word, &utf8[i], 8), word & 0x8080808080808080u) == 0) {
        for (int k = 0; k < 8; ++k) out[n + k] = static_cast<unsigned char>(utf8[i + k]);
        n += 8;
        i += 8;
        continue;
      }
      const auto c = static_cast<unsigned char>(utf8[i]);
      char32_t code;
      if (c < 0x80) {
        out[n++] = c;
        ++i;
        continue;
      }
      if (c < 0xE0) {
        code = (c & 0x1Fu) << 6 | (utf8[i + 1] & 0x3Fu);
        i += 2;
      } else if (c < 0xF0) {
        code = (c & 0x0Fu) << 12 | (utf8[i + 1] & 0x3Fu) << 6 | (utf8[i + 2] & 0x3Fu);
        i += 3;
      } else {
        code = (c & 0x07u) << 18 | (utf8[i + 1] & 0x3Fu) << 12 | (utf8[i + 2] & 0x3Fu) << 6 |
               (utf8[i + 3] & 0x3Fu);
        i += 4;
      }
      if (code >= 0x10000) {
        out[n++] = static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
        out[n++] = static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
      } else {
        out[n++] = static_cast<char16_t>(code);
      }
    }
    out.resize(n);
  }

  static const char* TypeName(ondemand::json_type type) {
    switch (type) {
      case ondemand::json_type::array:
        return "an array";
      case ondemand::json_type::object:
        return "an object";
      case ondemand::json_type::number:
        return "a number";
      case ondemand::json_type::string:
        return "a string";
      case ondemand::json_type::boolean:
        return "true or false";
      case ondemand::json_type::null:
        return "null";
    }
    return "a value";
  }

  void ReadValue(ondemand::value value, ondemand::document& parsed) {
    ondemand::json_type type;
    Check(value.type().get(type), &parsed);
    const Member& member = kFields[field_].member;
    switch (type) {
      case ondemand::json_type::null: {
        bool is_null = false;
        Check(value.is_null().get(is_null), &parsed);
        if (!is_null) FailAt(Location(parsed), "expected null");
        return;  // a missing value: the field keeps its empty or 0
      }
      case ondemand::json_type::string: {
        std::string_view text;
        Check(value.get_string().get(text), &parsed);
        if (field_ == kDocTypeField) WrongKind("an integer", "a string");
        if (auto* member_text = std::get_if<std::u16string PaymentDoc::*>(&member)) {
          AssignUtf16(text, entry_.doc.**member_text);
          if (field_ == kDocNumberField) doc_number_ = text;
        } else if (auto* amount = std::get_if<Currency PaymentDoc::*>(&member)) {
          entry_.doc.** amount = ParseAmountText(text, where_);
        } else if (auto* date = std::get_if<Date PaymentDoc::*>(&member)) {
          entry_.doc.** date = ParseDateText(text, where_);
        } else {
          WrongKind("an integer", "a string");
        }
        return;
      }
      case ondemand::json_type::number:
        return ReadNumber(value, parsed);
      default:
        WrongKind(ExpectedOfField(), TypeName(type));
    }
  }

  void ReadNumber(ondemand::value value, ondemand::document& parsed) {
    std::string_view text = value.raw_json_token();
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n')) {
      text.remove_suffix(1);
    }
    const std::string number(text);
    const Member& member = kFields[field_].member;
    const bool amount =
        field_ != kDocTypeField && std::holds_alternative<Currency PaymentDoc::*>(member);
    if (number.find_first_of(".eE") == std::string::npos) {
      // An integer: checked by the parser, then read exactly from its text.
      int64_t value_int = 0;
      const simdjson::error_code error = value.get_int64().get(value_int);
      // Beyond 64 bits the parser finds the number of another type, or out of range.
      if (error == simdjson::NUMBER_OUT_OF_RANGE || error == simdjson::INCORRECT_TYPE) {
        if (amount) Fail(kErrOverflow, "the amount " + number + " is out of range");
        if (!IsIntegerField()) WrongKind(ExpectedOfField(), "a number");
        Fail(kErrOverflow, number + " is out of range" + RangeOfField());
      }
      Check(error, &parsed);
      if (amount) {
        entry_.doc.*std::get<Currency PaymentDoc::*>(member) = ParseAmountText(number, where_);
        return;
      }
      if (!IsIntegerField()) WrongKind(ExpectedOfField(), "a number");
      if (auto* wide = std::get_if<int64_t PaymentDoc::*>(&member)) {
        entry_.doc.** wide = value_int;
        return;
      }
      if (value_int < std::numeric_limits<int32_t>::min() ||
          value_int > std::numeric_limits<int32_t>::max()) {
        Fail(kErrOverflow, number + " is out of range" + RangeOfField());
      }
      if (field_ == kDocTypeField) {
        entry_.doc_type = static_cast<int32_t>(value_int);
      } else {
        entry_.doc.*std::get<int32_t PaymentDoc::*>(member) = static_cast<int32_t>(value_int);
      }
      return;
    }
    double value_double = 0;
    const simdjson::error_code error = value.get_double().get(value_double);
    if (error == simdjson::NUMBER_OUT_OF_RANGE && amount) {
      Fail(kErrOverflow, "the amount " + number + " is out of range");
    }
    Check(error, &parsed);
    if (amount) {
      try {
        entry_.doc.*std::get<Currency PaymentDoc::*>(member) = Currency::FromDouble(value_double);
      } catch (const ComError&) {
        Fail(kErrOverflow, "the amount " + number + " is out of range");
      }
      return;
    }
    if (IsIntegerField()) WrongKind("an integer", "a number with a fraction");
    WrongKind(ExpectedOfField(), "a number");
  }

  // A document the parser's first stage refused (truncated, invalid UTF-8,
  // unbalanced): the key it failed in and its DocNumber are found by a plain
  // scan up to the place of the fault, for the message only.
  [[noreturn]] void FailBroken(std::string_view doc, size_t at, const std::string& what) {
    size_t depth = 0, start = 0;
    bool in_string = false, escape = false, expecting_key = false, is_key = false;
    std::string last_key;
    for (size_t i = 0; i < at && i < doc.size(); ++i) {
      const char c = doc[i];
      if (in_string) {
        if (escape) {
          escape = false;
        } else if (c == '\\') {
          escape = true;
        } else if (c == '"') {
          in_string = false;
          const std::string text(doc.substr(start, i - start));
          if (is_key) {
            last_key = text;
          } else if (depth == 1 && last_key == "DocNumber") {
            doc_number_ = text;
          }
        }
        continue;
      }
      if (c == '"') {
        in_string = true;
        start = i + 1;
        is_key = depth == 1 && expecting_key;
      } else if (c == '{' || c == '[') {
        expecting_key = ++depth == 1 && c == '{';
      } else if (c == '}' || c == ']') {
        --depth;
      } else if (depth == 1 && (c == ',' || c == ':')) {
        expecting_key = c == ',';
      }
    }
    if (field_ == kNoField) unknown_key_ = last_key;
    FailAt(static_cast<int64_t>(at), what);
  }

  // The offset of the first byte that breaks UTF-8 (the size when none does).
  static size_t FirstInvalidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
      const auto c = static_cast<unsigned char>(text[i]);
      size_t length = c < 0x80           ? 1
                      : (c >> 5) == 0x6  ? 2
                      : (c >> 4) == 0xE  ? 3
                      : (c >> 3) == 0x1E ? 4
                                         : 0;
      if (length == 0 || (length == 2 && c < 0xC2) || i + length > text.size()) return i;
      for (size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return i;
      }
      if (length >= 3) {
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if ((c == 0xE0 && next < 0xA0) || (c == 0xED && next > 0x9F) ||
            (c == 0xF0 && next < 0x90) || (c == 0xF4 && next > 0x8F) || c > 0xF4) {
          return i;
        }
      }
      i += length;
    }
    return text.size();
  }

  // Raises error 5 for a parser error, at the parser's place in the document.
  void Check(simdjson::error_code error, ondemand::document* parsed) {
    if (error == simdjson::SUCCESS) return;
    // A document that ends early fails where it ends, whatever the parser was reading.
    const int64_t at = parsed == nullptr || error == simdjson::INCOMPLETE_ARRAY_OR_OBJECT
                           ? end_of_doc_
                           : Location(*parsed);
    FailBroken(std::string_view(begin_, static_cast<size_t>(end_of_doc_)), static_cast<size_t>(at),
               simdjson::error_message(error));
  }

  int64_t Location(ondemand::document& parsed) {
    const char* at = nullptr;
    if (parsed.current_location().get(at) != simdjson::SUCCESS || at == nullptr) return end_of_doc_;
    return at - begin_;
  }

  [[noreturn]] void FailAt(int64_t in_doc, const std::string& what) {
    Fail(kErrInvalidCall,
         "not valid JSON at byte " + std::to_string(offset_ + in_doc + 1) + ": " + what);
  }

  size_t FindField(std::string_view key) {
    // Files repeat one key order: try the field that followed the field before
    // the last time first.
    size_t& guess = next_field_[field_];
    if (guess < kFieldCount && SameName(kFields[guess].name, key)) return guess;
    for (size_t i = 0; i < kFieldCount; ++i) {
      if (kFields[i].name == key) return guess = i;
    }
    return kNoField;
  }

  // A key is a dozen bytes: compared in line, not by a call to memcmp.
  static bool SameName(std::string_view name, std::string_view key) {
    if (name.size() != key.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
      if (name[i] != key[i]) return false;
    }
    return true;
  }

  bool IsIntegerField() const {
    const Member& member = kFields[field_].member;
    return field_ == kDocTypeField || std::holds_alternative<int32_t PaymentDoc::*>(member) ||
           std::holds_alternative<int64_t PaymentDoc::*>(member);
  }

  std::string RangeOfField() const {
    if (std::holds_alternative<int64_t PaymentDoc::*>(kFields[field_].member)) return "";
    return " (" + std::to_string(std::numeric_limits<int32_t>::min()) + " to " +
           std::to_string(std::numeric_limits<int32_t>::max()) + ")";
  }

  const char* ExpectedOfField() const {
    if (field_ == kNoField) return "a JSON object";
    if (IsIntegerField()) return "an integer";
    const Member& member = kFields[field_].member;
    if (std::holds_alternative<Currency PaymentDoc::*>(member))
      return "an amount (a string such as \"1234.50\" or a number)";
    if (std::holds_alternative<Date PaymentDoc::*>(member)) return "a date string YYYY-MM-DD";
    return "a string";
  }

  [[noreturn]] void WrongKind(const char* expected, const char* found) {
    Fail(kErrTypeMismatch, std::string("expected ") + expected + ", not " + found);
  }

  // "payments.json: document 3 (DocNumber "A-17"), key "Amount""
  std::string Where() const {
    std::string where = name_ + ": document " + std::to_string(index_);
    if (!doc_number_.empty()) where += " (DocNumber \"" + doc_number_ + "\")";
    if (field_ != kNoField) {
      where += ", key \"" + std::string(kFields[field_].name) + "\"";
    } else if (!unknown_key_.empty()) {
      where += ", key \"" + unknown_key_ + "\"";
    }
    return where;
  }

  [[noreturn]] void Fail(int32_t number, const std::string& detail) {
    FailJob(number, Where() + ": " + detail);
  }

  static constexpr size_t kDocNumberField = 18;

  const std::string& name_;
  const std::function<void(int64_t, PaymentEntry&)>& take_;
  const WhereFn where_;
  ondemand::parser parser_;
  PaymentCounts counts_;
  int64_t index_ = 0;
  size_t field_ = kNoField;
  // By field (kNoField: the start of the object), the field that came next.
  std::array<size_t, kFieldCount + 1> next_field_ = {};
  std::string unknown_key_;
  std::string doc_number_;
  const char* begin_ = nullptr;
  int64_t offset_ = 0;
  int64_t end_of_doc_ = 0;
  PaymentEntry entry_;
};

PaymentCounts Read(JsonDocuments& documents, const std::string& name,
                   const std::function<void(int64_t, PaymentEntry&)>& take) {
  DocumentReader reader(name, take);
  JsonDocuments::Document doc;
  while (true) {
    switch (documents.Next(doc)) {
      case JsonDocuments::Cut::kDocument:
        reader.Read(doc.bytes, doc.offset, doc.control_at);
        break;
      case JsonDocuments::Cut::kEnd:
        return reader.counts();
      case JsonDocuments::Cut::kNotAnObject:
        reader.NotAnObject(doc.first, doc.offset);
      case JsonDocuments::Cut::kMalformed:
        reader.FailFile(doc.offset, doc.problem);
    }
  }
}

}  // namespace

PaymentCounts ReadPayments(const std::string& path,
                           const std::function<void(int64_t index, PaymentEntry& entry)>& take) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) FailJob(kErrFileNotFound, "'" + path + "'");
  JsonDocuments documents(file);
  return Read(documents, path, take);
}

PaymentCounts ReadPaymentsFromMemory(std::string_view in, const std::string& name,
                                     const std::function<void(int64_t, PaymentEntry&)>& take) {
  JsonDocuments documents(in);
  return Read(documents, name, take);
}

}  // namespace norv::jobs
