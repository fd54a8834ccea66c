// The fields of a payment-order line, in file order: one table per layout (the
// DP file's local payment, the FP file's foreign payment). The line writer
// (ExportDoc) walks the table to build each line, and a host that wants to know
// beforehand whether a document will pass walks the same table, so the rules
// live in one place.
//
// Contract: the value of a field is what the writer quotes and appends; an empty
// value of a required field is error kErrRequiredEmpty; a quoted value longer
// than the field's maximum is kErrValueTooLong; a split field is cut into parts
// of `max_length` by SplitCut and each part is checked as a field of its own,
// labelled "<label> <n>", only the first one possibly required; what is left
// after the last part is dropped. A field with `payment_type` set refuses a
// PaymentType outside 1..3 (kErrBadPaymentType) before its value is looked at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "../core/records.h"
#include "../runtime/export.h"

namespace norv {

enum class FieldRequired : uint8_t {
  kNo,
  kYes,
  // Required unless ForeignBankCharges says that the payer bears no charges
  // of the foreign bank (code 3): the charges account and its currency.
  kUnlessNoCharges,
};

struct NORV_EXPORT PaymentField {
  // Names the field in error messages only; it never reaches the file.
  const std::u16string& label;
  // The field's text: a member of the document returned as it is, or a
  // formatted value written into `scratch` and returned from there. Formatting
  // may raise (a document number beyond the range of a double).
  const std::u16string& (*value)(const PaymentDoc& doc, std::u16string& scratch);
  int16_t max_length;  // of the quoted value; of each part for a split field
  FieldRequired required;
  int16_t parts = 0;  // 0: a plain field; otherwise the number of parts
  bool payment_type = false;

  bool IsRequired(const PaymentDoc& doc) const;
};

// The layout of DocType (kLocalPayment: the DP line; any other value: FP).
NORV_EXPORT std::span<const PaymentField> PaymentFields(int32_t doc_type);

// The amount field: two decimals, "." whatever the regional separator.
NORV_EXPORT std::u16string FormatPaymentAmount(const Currency& amount);

// The value functions of the document number and amount fields, so that a
// check can tell those fields in either layout.
NORV_EXPORT const std::u16string& DocNumberField(const PaymentDoc& doc, std::u16string& scratch);
NORV_EXPORT const std::u16string& AmountField(const PaymentDoc& doc, std::u16string& scratch);

// PaymentType values the FP line accepts.
inline bool IsPaymentType(int32_t value) { return value >= 1 && value <= 3; }

// The quoting rule of every field: each double quote doubled, and the whole
// enclosed in double quotes when the value holds a blank or a double quote.
struct QuotedForm {
  size_t quotes = 0;  // double quotes in the value
  bool enclosed = false;
  size_t Length(size_t value_length) const { return value_length + quotes + (enclosed ? 2 : 0); }
  // Double quote characters in the quoted form.
  size_t QuoteCharacters() const { return 2 * quotes + (enclosed ? 2 : 0); }
};

// Raises runtime error 6 (overflow) for a value longer than 32767 characters:
// the quoting walk counts positions in 16 bits.
NORV_EXPORT QuotedForm QuotingOf(std::u16string_view value);
NORV_EXPORT void AppendQuoted(std::u16string& out, std::u16string_view value,
                              const QuotedForm& form);

// How many characters of `rest` the next part of a split field takes: all of
// it when its quoted form fits `width`, otherwise `width` less the quote
// characters of the whole rest (reserved up front, so the part never outgrows
// the width after its own quoting). Empty when the rest holds more quote
// characters than the width: the writer then raises runtime error 5.
NORV_EXPORT std::optional<size_t> SplitCut(std::u16string_view rest, int16_t width);

}  // namespace norv
