// PaymentCheck: every problem of the documents of one export run, found before
// the component writes anything. The component's line writer stops at the first
// field it refuses, with the lines before it already written; the check walks
// the same field table (export/payment_fields.h) to the end of every document
// and adds what the writer lets through but the bank or the accountant would not
// want: characters the bank file's code page cannot hold, document numbers that
// are no whole numbers, amounts that are not positive or that the line would
// round, IBANs with wrong check digits and the same payment twice in one file.
// (A run with more payments of one kind than the component can count is
// refused as a whole by the export job before it checks documents.)
//
// Documents are fed one at a time in the run's order, so that a reader can
// stream them; the check keeps one key per document to find repeated payments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/records.h"
#include "jobs/first_index.h"

namespace norv::jobs {

enum class ProblemLevel : uint8_t {
  kError,    // the run must not write the document
  kWarning,  // the run goes on unless asked to be strict
};

// The code page of the bank files (the line converter's setting).
enum class BankCodePage : uint8_t { k1257, k775 };

struct PaymentProblem {
  size_t index = 0;  // position of the document in the run, from 0
  std::u16string doc_number;
  std::u16string field;  // the field's label as the writer names it; empty: the whole document
  std::string rule;      // a stable name: "Required", "MaxLength", "CodePage", ... (see .cpp)
  std::u16string value;  // what broke the rule
  ProblemLevel level = ProblemLevel::kError;
  // The error number the component's writer raises for this problem; 0 for
  // the problems that only the check finds.
  int32_t writer_error = 0;
};

class PaymentCheck {
 public:
  explicit PaymentCheck(BankCodePage code_page) : code_page_(code_page) {}

  // Checks the next document of the run (`doc_type` as ExportDoc takes it) and
  // appends its problems to `out`. Formatting follows the thread's regional
  // settings, as the writer's does.
  void Add(int32_t doc_type, const PaymentDoc& doc, std::vector<PaymentProblem>& out);

 private:
  void CheckFields(int32_t doc_type, const PaymentDoc& doc, std::vector<PaymentProblem>& out);
  void CheckValues(int32_t doc_type, const PaymentDoc& doc, std::vector<PaymentProblem>& out);
  PaymentProblem& Report(std::vector<PaymentProblem>& out, const PaymentDoc& doc,
                         std::u16string_view field, const char* rule, std::u16string value,
                         ProblemLevel level = ProblemLevel::kError);

  BankCodePage code_page_;
  size_t index_ = 0;
  // A document's key: payer account, payee account, amount and purpose; the
  // index of the first document with each key.
  std::u16string key_;
  FirstIndex seen_;
};

// Whether the account has an IBAN's form (two capital letters, two digits, 11
// to 30 capital letters or digits), and whether an IBAN's check digits pass
// ISO 13616 (the number mod 97 is 1).
bool HasIbanForm(std::u16string_view account);
bool IbanCheckDigitsPass(std::u16string_view iban);

// The characters of `text` that the code page cannot hold, each once, in order.
std::u16string UnmappableCharacters(std::u16string_view text, BankCodePage code_page);

}  // namespace norv::jobs
