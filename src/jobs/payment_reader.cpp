#include "jobs/payment_reader.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <string_view>
#include <utility>
#include <variant>

#include <nlohmann/json.hpp>

#include "jobs/job_error.h"
#include "jobs/json_values.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace norv::jobs {

namespace {

using Json = nlohmann::json;

// ---------------------------------------------------------------------------
// The bytes of the file, through a fixed buffer (or all of them in memory).

class ByteSource {
 public:
  explicit ByteSource(std::string_view bytes)
      : start_(bytes.data()), pos_(bytes.data()), end_(bytes.data() + bytes.size()) {}
  explicit ByteSource(std::FILE* file) : file_(file), buffer_(new char[kBufferSize]) {}
  ~ByteSource() {
    if (file_ != nullptr) std::fclose(file_);
  }
  ByteSource(const ByteSource&) = delete;
  ByteSource& operator=(const ByteSource&) = delete;

  // The next byte without taking it; EOF at the end.
  int Peek() {
    if (pos_ == end_ && !Refill()) return EOF;
    return static_cast<unsigned char>(*pos_);
  }
  void Skip() { ++pos_; }
  int64_t Offset() const { return consumed_ + (pos_ - start_); }

  // Takes the bytes up to the next '\n' (left out) into `line`; false at the end.
  bool ReadLine(std::string& line) {
    line.clear();
    if (Peek() == EOF) return false;
    while (Peek() != EOF) {
      const char* newline = static_cast<const char*>(std::memchr(pos_, '\n', end_ - pos_));
      if (newline != nullptr) {
        line.append(pos_, newline);
        pos_ = newline + 1;
        return true;
      }
      line.append(pos_, end_);
      pos_ = end_;
    }
    return true;
  }

 private:
  static constexpr size_t kBufferSize = 1 << 16;

  bool Refill() {
    if (file_ == nullptr) return false;
    consumed_ += pos_ - start_;
    const size_t got = std::fread(buffer_.get(), 1, kBufferSize, file_);
    if (got == 0 && std::ferror(file_)) FailJob(kErrDeviceIo, "reading the payments file");
    start_ = pos_ = buffer_.get();
    end_ = pos_ + got;
    return got > 0;
  }

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  const char* start_ = nullptr;
  const char* pos_ = nullptr;
  const char* end_ = nullptr;
  int64_t consumed_ = 0;

  friend class SourceIterator;
};

// An input iterator over a ByteSource for nlohmann's parser, which takes one
// character at a time; the end iterator compares equal once the source is dry.
class SourceIterator {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  explicit SourceIterator(ByteSource* source = nullptr) : source_(source) {}
  char operator*() const { return *source_->pos_; }
  SourceIterator& operator++() {
    ++source_->pos_;
    return *this;
  }
  bool operator==(const SourceIterator& other) const { return AtEnd() == other.AtEnd(); }
  bool operator!=(const SourceIterator& other) const { return !(*this == other); }

 private:
  bool AtEnd() const { return source_ == nullptr || source_->Peek() == EOF; }
  ByteSource* source_;
};

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
// The SAX handler: builds one PaymentEntry at a time and hands it over when
// its object closes. Every problem is raised as a ComError naming the document
// and the key; nothing is kept between documents.

class PaymentHandler {
 public:
  using Take = std::function<void(int64_t, PaymentEntry&)>;

  PaymentHandler(const std::string& name, bool in_array, const Take& take)
      : name_(name), in_array_(in_array), take_(take) {}

  const PaymentCounts& counts() const { return counts_; }
  int64_t index() const { return index_; }

  // --- nlohmann's SAX interface ---
  bool null() {
    // A missing value: the field keeps its empty or 0.
    ExpectValue("null");
    return true;
  }
  bool boolean(bool) {
    ExpectValue("true or false");
    WrongKind(ExpectedOfField(), "true or false");
  }
  bool number_integer(Json::number_integer_t value) {
    ExpectValue("a number");
    SetInteger(static_cast<long double>(value), std::to_string(value));
    return true;
  }
  bool number_unsigned(Json::number_unsigned_t value) {
    ExpectValue("a number");
    SetInteger(static_cast<long double>(value), std::to_string(value));
    return true;
  }
  bool number_float(Json::number_float_t value, const std::string& text) {
    ExpectValue("a number");
    const Member& member = kFields[field_].member;
    if (std::holds_alternative<Currency PaymentDoc::*>(member) && field_ != kDocTypeField) {
      try {
        entry_.doc.*std::get<Currency PaymentDoc::*>(member) = Currency::FromDouble(value);
      } catch (const ComError&) {
        Fail(kErrOverflow, "the amount " + text + " is out of range");
      }
      return true;
    }
    // An integer field: a number with a fraction or exponent, or one too large
    // for 64 bits (the parser hands those over as floating point).
    if (IsIntegerField()) {
      if (text.find_first_of(".eE") == std::string::npos)
        Fail(kErrOverflow, text + " is out of range");
      WrongKind("an integer", "a number with a fraction");
    }
    WrongKind(ExpectedOfField(), "a number");
  }
  bool string(std::string& value) {
    ExpectValue("a string");
    const Member& member = kFields[field_].member;
    if (field_ == kDocTypeField) WrongKind("an integer", "a string");
    if (auto* text = std::get_if<std::u16string PaymentDoc::*>(&member)) {
      entry_.doc.** text = Utf8ToU16(value);
      if (field_ == kDocNumberField) doc_number_ = value;
    } else if (auto* amount = std::get_if<Currency PaymentDoc::*>(&member)) {
      entry_.doc.** amount = ParseAmountText(value, Where());
    } else if (auto* date = std::get_if<Date PaymentDoc::*>(&member)) {
      entry_.doc.** date = ParseDateText(value, Where());
    } else {
      WrongKind("an integer", "a string");
    }
    return true;
  }
  bool binary(Json::binary_t&) { WrongKind(ExpectedOfField(), "binary data"); }

  bool start_object(std::size_t) {
    if (depth_ == DocDepth()) {
      ++depth_;
      entry_ = PaymentEntry{};
      doc_number_.clear();
      field_ = kNoField;
      in_doc_ = true;
      return true;
    }
    if (depth_ < DocDepth()) Fail(kErrInvalidCall, "expected a JSON array of payment objects");
    WrongKind(ExpectedOfField(), "an object");
  }
  bool key(std::string& key) {
    field_ = FindField(key);
    if (field_ == kNoField) {
      key_ = key;
      Fail(kErrInvalidCall, "unknown key");
    }
    return true;
  }
  bool end_object() {
    --depth_;
    in_doc_ = false;
    field_ = kNoField;
    take_(index_, entry_);
    ++(entry_.doc_type == kLocalPayment ? counts_.local : counts_.foreign);
    ++index_;
    return true;
  }
  bool start_array(std::size_t) {
    if (in_array_ && depth_ == 0) {
      ++depth_;
      return true;
    }
    if (depth_ == DocDepth()) WrongKind("a JSON object", "an array");
    WrongKind(ExpectedOfField(), "an array");
  }
  bool end_array() {
    --depth_;
    return true;
  }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) {
    std::string reason = e.what();
    // "[json.exception.parse_error.101] parse error at line 1, column 7: ..." -> "at byte N: ..."
    const size_t colon = reason.find(": ");
    if (colon != std::string::npos) reason = reason.substr(colon + 2);
    Fail(kErrInvalidCall,
         "not valid JSON at byte " + std::to_string(line_offset_ + position) + ": " + reason);
  }

  // Where a line of JSON Lines starts, for the byte offsets of parse errors.
  void set_line_offset(int64_t offset) { line_offset_ = offset; }

 private:
  static constexpr size_t kDocNumberField = 18;

  size_t DocDepth() const { return in_array_ ? 1 : 0; }

  // A scalar at the top or as an element: no document there.
  void ExpectValue(const char* what) {
    if (in_doc_ && depth_ == DocDepth() + 1 && field_ != kNoField) return;
    if (!in_doc_ && depth_ == DocDepth()) WrongKind("a JSON object", what);
    Fail(kErrInvalidCall, std::string("expected a JSON array of payment objects, not ") + what);
  }

  size_t FindField(std::string_view key) {
    // Files repeat one key order: try the field after the last one first.
    const size_t next = field_ == kNoField ? 0 : field_ + 1;
    if (next < kFieldCount && kFields[next].name == key) return next;
    for (size_t i = 0; i < kFieldCount; ++i) {
      if (kFields[i].name == key) return i;
    }
    return kNoField;
  }

  bool IsIntegerField() const {
    const Member& member = kFields[field_].member;
    return field_ == kDocTypeField || std::holds_alternative<int32_t PaymentDoc::*>(member) ||
           std::holds_alternative<int64_t PaymentDoc::*>(member);
  }

  const char* ExpectedOfField() const {
    if (!in_doc_ || field_ == kNoField) return "a JSON object";
    if (IsIntegerField()) return "an integer";
    const Member& member = kFields[field_].member;
    if (std::holds_alternative<Currency PaymentDoc::*>(member))
      return "an amount (a string such as \"1234.50\" or a number)";
    if (std::holds_alternative<Date PaymentDoc::*>(member)) return "a date string YYYY-MM-DD";
    return "a string";
  }

  void SetInteger(long double value, const std::string& text) {
    const Member& member = kFields[field_].member;
    if (auto* amount = std::get_if<Currency PaymentDoc::*>(&member);
        amount && field_ != kDocTypeField) {
      // Through the text, so that values beyond a double's precision stay exact.
      entry_.doc.** amount = ParseAmountText(text, Where());
      return;
    }
    if (!IsIntegerField()) WrongKind(ExpectedOfField(), "a number");
    if (auto* wide = std::get_if<int64_t PaymentDoc::*>(&member)) {
      if (value > static_cast<long double>(std::numeric_limits<int64_t>::max()))
        Fail(kErrOverflow, text + " is out of range");
      entry_.doc.** wide = std::stoll(text);
      return;
    }
    constexpr auto kMin = std::numeric_limits<int32_t>::min();
    constexpr auto kMax = std::numeric_limits<int32_t>::max();
    if (value < kMin || value > kMax) {
      Fail(kErrOverflow, text + " is out of range (" + std::to_string(kMin) + " to " +
                             std::to_string(kMax) + ")");
    }
    const auto number = static_cast<int32_t>(value);
    if (field_ == kDocTypeField) {
      entry_.doc_type = number;
    } else {
      entry_.doc.*std::get<int32_t PaymentDoc::*>(member) = number;
    }
  }

  [[noreturn]] void WrongKind(const char* expected, const char* found = nullptr) {
    Fail(kErrTypeMismatch, std::string("expected ") + expected +
                               (found != nullptr ? std::string(", not ") + found : ""));
  }

  // "payments.json: document 3 (DocNumber "A-17"), key "Amount""
  std::string Where() const {
    std::string where = name_ + ": document " + std::to_string(index_);
    if (!doc_number_.empty()) where += " (DocNumber \"" + doc_number_ + "\")";
    if (in_doc_ && field_ != kNoField) {
      where += ", key \"" + std::string(kFields[field_].name) + "\"";
    } else if (!key_.empty()) {
      where += ", key \"" + key_ + "\"";
    }
    return where;
  }

  [[noreturn]] void Fail(int32_t number, const std::string& detail) {
    FailJob(number, Where() + ": " + detail);
  }

  const std::string& name_;
  const bool in_array_;
  const Take& take_;
  PaymentCounts counts_;
  int64_t index_ = 0;
  size_t depth_ = 0;
  bool in_doc_ = false;
  size_t field_ = kNoField;
  std::string key_;  // an unknown key, for its error
  std::string doc_number_;
  int64_t line_offset_ = 0;
  PaymentEntry entry_;
};

PaymentCounts Read(ByteSource& source, const std::string& name, const PaymentHandler::Take& take) {
  // Blanks before the first value tell nothing; '[' opens an array.
  while (source.Peek() == ' ' || source.Peek() == '\t' || source.Peek() == '\r' ||
         source.Peek() == '\n') {
    source.Skip();
  }
  const bool in_array = source.Peek() == '[';
  PaymentHandler handler(name, in_array, take);
  if (in_array) {
    Json::sax_parse(SourceIterator(&source), SourceIterator(), &handler);
    return handler.counts();
  }
  std::string line;
  int64_t offset = source.Offset();
  while (source.ReadLine(line)) {
    handler.set_line_offset(offset);
    offset = source.Offset();
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    Json::sax_parse(line.data(), line.data() + line.size(), &handler);
  }
  return handler.counts();
}

}  // namespace

PaymentCounts ReadPayments(const std::string& path,
                           const std::function<void(int64_t index, PaymentEntry& entry)>& take) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) FailJob(kErrFileNotFound, "'" + path + "'");
  ByteSource source(file);
  return Read(source, path, take);
}

PaymentCounts ReadPaymentsFromMemory(std::string_view in, const std::string& name,
                                     const std::function<void(int64_t, PaymentEntry&)>& take) {
  ByteSource source(in);
  return Read(source, name, take);
}

}  // namespace norv::jobs
