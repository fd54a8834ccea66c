// Fuzzes the payment-order line builder (ExportDoc) with arbitrary PaymentDoc
// values. The expected lines and errors live in tests/data/payment_lines; here
// every document must either be written as a line into its own file, or be
// refused with a known error (and leave no file).
//
// The check that an export runs first (jobs/payment_check.h) must agree with
// the writer: it refuses a document by one of the writer's rules exactly when
// the writer raises, and its first such refusal is the writer's error.
//
// Input: one byte choosing the regional preset, then the document's values.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "core/records.h"
#include "fuzz_support.h"
#include "jobs/payment_check.h"
#include "support/recording_host.h"

namespace {

using norv::ComError;
using norv::PaymentDoc;

constexpr char16_t kFolder[] = u"\\fuzz";
constexpr char16_t kDPPath[] = u"\\fuzz\\240131.mok";
constexpr char16_t kFPPath[] = u"\\fuzz\\240131.tar";

// Small numbers mostly, now and then any 32-bit value.
int32_t SmallOrAny(norv::fuzz::FuzzInput& in) {
  const uint8_t b = in.Byte();
  if (b == 0xFF) return in.Integer<int32_t>();
  return static_cast<int32_t>(b % 8) - 1;
}

PaymentDoc ReadDoc(norv::fuzz::FuzzInput& in) {
  PaymentDoc doc;
  for (std::u16string* text :
       {&doc.DocNumber, &doc.PayerCode, &doc.PayerName, &doc.PayerBankCode, &doc.PayerAccount,
        &doc.CurrencyCode, &doc.PayeeCode, &doc.PayeeName, &doc.PayeeBankCode, &doc.PayeeAccount,
        &doc.PurposeCode, &doc.Purpose, &doc.AltPurpose, &doc.PayeeBankSwift, &doc.PayeeBankName,
        &doc.PayeeBankAddress, &doc.PayeeAddress, &doc.ChargesAccount, &doc.ChargesCurrency}) {
    *text = in.Text();
  }
  // Amounts: small ones in cents mostly, any 64-bit value now and then.
  const uint8_t kind = in.Byte();
  doc.Amount = norv::Currency::FromRaw(kind % 4 == 0 ? in.Integer<int64_t>()
                                                     : int64_t{in.Integer<int32_t>()} * 100);
  // Dates the host can hold (years 100 to 9999); the time of day never
  // reaches midnight, so the day is the serial's whole part.
  const int32_t days = -657434 + static_cast<int32_t>(in.Integer<uint32_t>() % 3615900);
  const double time = in.Byte() / 256.0;
  doc.DocDate = norv::Date(days >= 0 ? days + time : days - time);
  doc.PaymentType = SmallOrAny(in);
  doc.ForeignBankCharges = SmallOrAny(in);
  return doc;
}

bool IsFieldError(int32_t number) {
  return number == norv::kErrRequiredEmpty || number == norv::kErrValueTooLong ||
         number == norv::kErrBadPaymentType;
}

void CheckAgreesWithWriter(int32_t doc_type, const PaymentDoc& doc,
                           const std::optional<ComError>& error) {
  std::vector<norv::jobs::PaymentProblem> problems;
  norv::jobs::PaymentCheck(norv::jobs::BankCodePage::k1257).Add(doc_type, doc, problems);
  const norv::jobs::PaymentProblem* first = nullptr;
  for (const norv::jobs::PaymentProblem& problem : problems) {
    if (problem.writer_error != 0) {
      first = &problem;
      break;
    }
  }
  if (!error) {
    if (first != nullptr) {
      norv::fuzz::Broken("the check refuses a document the writer takes: " + first->rule + " " +
                         norv::U16ToUtf8(first->field));
    }
    return;
  }
  if (first == nullptr) {
    norv::fuzz::Broken(std::string("the check passes a document the writer refuses: ") +
                       error->what());
  }
  norv::fuzz::Require(
      first->writer_error == error->number(),
      "the check's first refusal is another error (" + first->rule + ") than " + error->what());
  if (IsFieldError(error->number())) {
    norv::fuzz::Require(first->field == error->source(), "the check names another field (" +
                                                             norv::U16ToUtf8(first->field) +
                                                             ") than " + error->what());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace norv;
  fuzz::FuzzInput input(data, size);
  RegionalSettings::SetCurrent(fuzz::PresetOf(input.Byte()));
  const uint8_t type_byte = input.Byte();
  int32_t doc_type = type_byte % 2 == 0 ? 1 : 2;
  if (type_byte == 0xFF) doc_type = input.Integer<int32_t>();
  PaymentDoc doc = ReadDoc(input);

  fuzz::MemoryFileSystem& files = fuzz::Files();
  for (const char16_t* path : {kDPPath, kFPPath}) {
    if (files.Get(path)) files.Delete(path);
  }
  testing::ScopedRecordingHost host;
  host->SetText(1198, u"%2");  // a field error's source is then its label alone
  std::optional<ComError> error;
  {
    CBankCl_VB bank;
    host->Driver().ExpectShow(u"SelectFilesDlg",
                              {hostkit::Type(u"edPath", kFolder), hostkit::Click(u"btOk")});
    bank.BeginExport(Date(), Date::FromCivil(2024, 1, 31));
    try {
      bank.ExportDoc(doc_type, doc);
    } catch (const ComError& raised) {
      error = raised;
    }
    bool by_error = false;
    bank.EndExport(by_error);
  }
  fuzz::Require(host->Errors().empty(), "an error was reported instead of raised");
  CheckAgreesWithWriter(doc_type, doc, error);
  const std::string* dp = files.Get(kDPPath);
  const std::string* fp = files.Get(kFPPath);
  if (error) {
    fuzz::RequireErrorIn(*error, {kErrRequiredEmpty, kErrValueTooLong, kErrBadPaymentType,
                                  kErrInvalidCall, kErrOverflow});
    fuzz::Require(dp == nullptr && fp == nullptr, "a refused document left a file");
  } else {
    const std::string* written = doc_type == 1 ? dp : fp;
    fuzz::Require(written != nullptr && (doc_type == 1 ? fp : dp) == nullptr,
                  "not exactly the document's own file written");
    fuzz::Require(written->ends_with("\r\n"), "the line does not end the file: " + *written);
  }
  RegionalSettings::SetCurrent(RegionalSettings::LtLT());
  return 0;
}
