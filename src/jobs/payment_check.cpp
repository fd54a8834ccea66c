#include "jobs/payment_check.h"

#include <array>
#include <optional>

#include "core/error_numbers.h"
#include "export/payment_fields.h"
#include "hostkit/cp775.h"
#include "runtime/codepage.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace norv::jobs {
namespace {

// Rule names of the problems the writer raises, by its error number.
const char* WriterRule(int32_t error) {
  switch (error) {
    case kErrRequiredEmpty:
      return "Required";
    case kErrValueTooLong:
      return "MaxLength";
    case kErrBadPaymentType:
      return "PaymentType";
    case kErrInvalidCall:
      return "SplitQuotes";  // a split field's rest holds more quotes than a part
    case kErrOverflow:
      return "TooLongToQuote";  // longer than the quoting walk can count
    default:
      return "Number";  // the document number cannot be formatted
  }
}

// The error AddField raises for `value`, 0 when it takes it.
int32_t FieldError(std::u16string_view value, int16_t max_length, bool required) {
  if (value.empty() && required) return kErrRequiredEmpty;
  // Even with every character a doubled quote and the whole enclosed, the
  // value fits: no need to count.
  if (2 * value.size() + 2 <= static_cast<size_t>(max_length)) return 0;
  try {
    if (QuotingOf(value).Length(value.size()) > static_cast<size_t>(max_length)) {
      return kErrValueTooLong;
    }
  } catch (const ComError& error) {
    return error.number();
  }
  return 0;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsUpper(char16_t c) { return c >= u'A' && c <= u'Z'; }

// The accounts a payment names: the ones whose IBAN check digits count.
constexpr std::u16string PaymentDoc::*kAccounts[] = {
    &PaymentDoc::PayerAccount, &PaymentDoc::PayeeAccount, &PaymentDoc::ChargesAccount};

// A field's value function hands out the member itself when the field shows
// it unformatted, so the address tells the account fields in either layout.
bool IsAccount(const PaymentDoc& doc, const std::u16string& value) {
  for (auto member : kAccounts) {
    if (&(doc.*member) == &value) return true;
  }
  return false;
}

// The amount exactly as held (four decimals at most), "." as the separator.
std::u16string ExactAmount(Currency amount) {
  const int64_t raw = amount.raw();
  const uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  std::string fraction = std::to_string(magnitude % 10000 + 10000).substr(1);
  while (fraction.size() > 2 && fraction.back() == '0') fraction.pop_back();
  return Utf8ToU16((raw < 0 ? "-" : "") + std::to_string(magnitude / 10000) + "." + fraction);
}

}  // namespace

bool HasIbanForm(std::u16string_view account) {
  if (account.size() < 15 || account.size() > 34) return false;
  if (!IsUpper(account[0]) || !IsUpper(account[1])) return false;
  if (!IsDigit(account[2]) || !IsDigit(account[3])) return false;
  for (char16_t c : account.substr(4)) {
    if (!IsUpper(c) && !IsDigit(c)) return false;
  }
  return true;
}

bool IbanCheckDigitsPass(std::u16string_view iban) {
  // The country and check digits move to the end; letters count as 10..35.
  // The remainder is taken only when the number nears 64 bits.
  uint64_t number = 0;
  auto add = [&number](unsigned digit) {
    number = number * 10 + digit;
    if (number >= 1'000'000'000'000'000'000u / 10) number %= 97;
  };
  for (size_t i = 0; i < iban.size(); ++i) {
    const char16_t c = iban[i + 4 < iban.size() ? i + 4 : i + 4 - iban.size()];
    if (IsDigit(c)) {
      add(c - u'0');
    } else {
      const unsigned value = c - u'A' + 10;
      add(value / 10);
      add(value % 10);
    }
  }
  return number % 97 == 1;
}

namespace {

// Which characters a code page holds, one bit each, worked out once per code
// page: a look-up per character instead of an encoding.
class Mappable {
 public:
  explicit Mappable(BankCodePage code_page) {
    for (char32_t c = 0; c < 0x10000; ++c) {
      const char16_t one = static_cast<char16_t>(c);
      const std::u16string_view text(&one, 1);
      const std::string byte =
          code_page == BankCodePage::k775 ? hostkit::cp775::Encode(text) : cp1257::Encode(text);
      if (c == u'?' || byte != "?") bits_[c / 64] |= uint64_t{1} << (c % 64);
    }
  }
  bool Holds(char16_t c) const { return (bits_[c / 64] >> (c % 64)) & 1; }

 private:
  std::array<uint64_t, 0x10000 / 64> bits_{};
};

// Each table is made on the first use of its own code page only.
const Mappable& MappableOf(BankCodePage code_page) {
  if (code_page == BankCodePage::k775) {
    static const Mappable k775(BankCodePage::k775);
    return k775;
  }
  static const Mappable k1257(BankCodePage::k1257);
  return k1257;
}

}  // namespace

std::u16string UnmappableCharacters(std::u16string_view text, BankCodePage code_page) {
  // Both code pages hold ASCII as it is: text of ASCII alone needs no look
  // (tested without a branch a character, so that the loop vectorizes).
  char16_t all_bits = 0;
  for (char16_t c : text) all_bits |= c;
  if (all_bits < 0x80) return {};
  std::u16string missing;
  const Mappable* mappable = nullptr;
  for (char16_t c : text) {
    // Both code pages hold ASCII as it is: only the rest needs a look-up.
    if (c < 0x80) continue;
    if (mappable == nullptr) mappable = &MappableOf(code_page);
    if (!mappable->Holds(c) && missing.find(c) == std::u16string::npos) missing += c;
  }
  return missing;
}

PaymentProblem& PaymentCheck::Report(std::vector<PaymentProblem>& out, const PaymentDoc& doc,
                                     std::u16string_view field, const char* rule,
                                     std::u16string value, ProblemLevel level) {
  PaymentProblem& problem = out.emplace_back();
  problem.index = index_;
  problem.doc_number = doc.DocNumber;
  problem.field = field;
  problem.rule = rule;
  problem.value = std::move(value);
  problem.level = level;
  return problem;
}

void PaymentCheck::Add(int32_t doc_type, const PaymentDoc& doc, std::vector<PaymentProblem>& out) {
  CheckFields(doc_type, doc, out);
  CheckValues(doc_type, doc, out);
  ++index_;
}

// The writer's rules, field by field as the writer applies them, but on to the
// end of the document instead of stopping at the first refusal.
void PaymentCheck::CheckFields(int32_t doc_type, const PaymentDoc& doc,
                               std::vector<PaymentProblem>& out) {
  std::u16string scratch;
  for (const PaymentField& field : PaymentFields(doc_type)) {
    if (field.payment_type && !IsPaymentType(doc.PaymentType)) {
      Report(out, doc, field.label, WriterRule(kErrBadPaymentType), IntToText(doc.PaymentType))
          .writer_error = kErrBadPaymentType;
      continue;
    }
    const std::u16string* value = nullptr;
    try {
      value = &field.value(doc, scratch);
    } catch (const ComError& error) {
      Report(out, doc, field.label, WriterRule(error.number()), doc.DocNumber).writer_error =
          error.number();
      continue;
    }
    const std::u16string missing = UnmappableCharacters(*value, code_page_);
    if (!missing.empty()) Report(out, doc, field.label, "CodePage", missing);
    if (IsAccount(doc, *value) && HasIbanForm(*value) && !IbanCheckDigitsPass(*value)) {
      Report(out, doc, field.label, "IbanCheckDigits", *value);
    }
    if (field.parts == 0) {
      if (int32_t error = FieldError(*value, field.max_length, field.IsRequired(doc))) {
        Report(out, doc, field.label, WriterRule(error), *value).writer_error = error;
      }
      continue;
    }
    // A split field: each part as the writer cuts it.
    std::u16string_view rest = *value;
    bool required = field.IsRequired(doc);
    for (int16_t part_no = 1; part_no <= field.parts; ++part_no) {
      std::optional<size_t> take;
      int32_t error = 0;
      try {
        take = SplitCut(rest, field.max_length);
        if (!take) error = kErrInvalidCall;
      } catch (const ComError& raised) {
        error = raised.number();
      }
      if (error == 0) {
        const std::u16string_view part = rest.substr(0, *take);
        rest.remove_prefix(*take);
        error = FieldError(part, field.max_length, required);
      }
      if (error != 0) {
        Report(out, doc, field.label + u" " + IntToText(part_no), WriterRule(error), *value)
            .writer_error = error;
        break;  // the cut of the later parts depends on this one
      }
      required = false;
    }
  }
}

// What the writer lets through but the bank or the accountant would not want.
void PaymentCheck::CheckValues(int32_t doc_type, const PaymentDoc& doc,
                               std::vector<PaymentProblem>& out) {
  for (const PaymentField& field : PaymentFields(doc_type)) {
    if (field.value == &DocNumberField) {
      bool whole = !doc.DocNumber.empty();
      for (char16_t c : doc.DocNumber) whole = whole && IsDigit(c);
      if (!whole) Report(out, doc, field.label, "WholeNumber", doc.DocNumber);
    } else if (field.value == &AmountField) {
      if (doc.Amount.raw() <= 0) Report(out, doc, field.label, "Positive", ExactAmount(doc.Amount));
      if (doc.Amount.raw() % 100 != 0) {
        Report(out, doc, field.label, "TwoDecimals", ExactAmount(doc.Amount));
      }
    }
  }

  // Numbers go in as their 16-bit pieces: the amount's raw value, and each
  // text's length before it, so that no text can pass for two.
  key_.clear();
  const auto put = [this](uint64_t number, int bits) {
    for (int shift = 0; shift < bits; shift += 16) key_ += static_cast<char16_t>(number >> shift);
  };
  put(static_cast<uint64_t>(doc.Amount.raw()), 64);
  for (const std::u16string* part : {&doc.PayerAccount, &doc.PayeeAccount, &doc.Purpose}) {
    put(part->size(), 32);
    key_ += *part;
  }
  if (const std::optional<size_t> first = seen_.FindOrAdd(key_, index_)) {
    Report(out, doc, u"", "Repeated", u"as index " + IntToText(static_cast<long long>(*first)),
           ProblemLevel::kWarning);
  }
}

}  // namespace norv::jobs
