// Fuzzes the payment-order line builder (ExportDoc) with arbitrary PaymentDoc
// values (the lines and errors of chosen documents live in
// tests/data/payment_lines). Every document is either written as a line into
// its own file, or refused with a known error and no file left. The check that
// an export runs first (jobs/payment_check.h) agrees with the writer: it
// refuses a document by one of the writer's rules exactly when the writer
// raises, and its first such refusal is the writer's error, on the same field.
//
// Input: a byte choosing the regional preset, a byte choosing the document
// type (0xFF: four more bytes give any type), then the document's values.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "core/records.h"
#include "fuzz_support.h"
#include "jobs/payment_check.h"

void FuzzOne(norv::fuzz::FuzzInput& in) {
  using namespace norv;
  RegionalSettings::SetCurrent(fuzz::PresetOf(in.Byte()));
  const uint8_t type_byte = in.Byte();
  int32_t doc_type = type_byte == 0xFF ? in.Integer<int32_t>() : 1 + type_byte % 2;
  PaymentDoc doc;
  for (std::u16string* text :
       {&doc.DocNumber, &doc.PayerCode, &doc.PayerName, &doc.PayerBankCode, &doc.PayerAccount,
        &doc.CurrencyCode, &doc.PayeeCode, &doc.PayeeName, &doc.PayeeBankCode, &doc.PayeeAccount,
        &doc.PurposeCode, &doc.Purpose, &doc.AltPurpose, &doc.PayeeBankSwift, &doc.PayeeBankName,
        &doc.PayeeBankAddress, &doc.PayeeAddress, &doc.ChargesAccount, &doc.ChargesCurrency})
    *text = in.Text();
  // Amounts in whole units mostly, any 64-bit value now and then.
  const uint8_t kind = in.Byte();
  doc.Amount = Currency::FromRaw(kind % 4 == 0 ? in.Integer<int64_t>()
                                               : int64_t{in.Integer<int32_t>()} * 100);
  // Dates the host can hold (years 100 to 9999); the time of day never
  // reaches midnight, so the day is the serial's whole part.
  const int32_t days = -657434 + static_cast<int32_t>(in.Integer<uint32_t>() % 3615900);
  const double time = in.Byte() / 256.0;
  doc.DocDate = Date(days >= 0 ? days + time : days - time);
  // Small numbers mostly, now and then any 32-bit value.
  const auto small_or_any = [&in] {
    const uint8_t b = in.Byte();
    return b == 0xFF ? in.Integer<int32_t>() : static_cast<int32_t>(b % 8) - 1;
  };
  doc.PaymentType = small_or_any();
  doc.ForeignBankCharges = small_or_any();

  const testing::TempFolder& folder = fuzz::Folder();
  for (const char* name : {"240131.mok", "240131.tar"}) std::remove(folder.File(name).c_str());
  testing::ScopedRecordingHost host;
  host->SetText(1198, u"%2");  // a field error's source is then its label alone
  std::optional<ComError> error;
  {
    CBankCl_VB bank;
    host->Driver().ExpectShow(
        u"SelectFilesDlg", {hostkit::Type(u"edPath", folder.u16path()), hostkit::Click(u"btOk")});
    bank.BeginExport(Date(), Date::FromCivil(2024, 1, 31));
    error = fuzz::ErrorOf(
        [&] { bank.ExportDoc(doc_type, doc); },
        {kErrRequiredEmpty, kErrValueTooLong, kErrBadPaymentType, kErrInvalidCall, kErrOverflow});
    bool by_error = false;
    bank.EndExport(by_error);
  }
  fuzz::Require(host->Errors().empty(), "an error was reported instead of raised");

  std::vector<jobs::PaymentProblem> problems;
  jobs::PaymentCheck(jobs::BankCodePage::k1257).Add(doc_type, doc, problems);
  const auto first = std::find_if(problems.begin(), problems.end(),
                                  [](const jobs::PaymentProblem& p) { return p.writer_error; });
  const int32_t number = error ? error->number() : 0;
  const int32_t check = first == problems.end() ? 0 : first->writer_error;
  const bool by_field =
      number == kErrRequiredEmpty || number == kErrValueTooLong || number == kErrBadPaymentType;
  if (check != number || (by_field && first->field != error->source())) {
    fuzz::Broken("the check refuses by " +
                 (check ? first->rule + " " + U16ToUtf8(first->field) : "nothing") +
                 ", the writer " + (error ? error->what() : "takes the document"));
  }
  const char* own = doc_type == 1 ? "240131.mok" : "240131.tar";
  fuzz::Require(!folder.Exists(doc_type == 1 ? "240131.tar" : "240131.mok"),
                "the other kind's file written");
  if (error) {
    fuzz::Require(!folder.Exists(own), "a refused document left a file");
  } else if (const std::string line = folder.ReadBytes(own); !line.ends_with("\r\n")) {
    fuzz::Broken("no line ending the document's own file: " + line);
  }
}
