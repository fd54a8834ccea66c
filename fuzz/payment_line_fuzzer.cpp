// Fuzzes the payment-order line builder (ExportDoc) with arbitrary PaymentDoc
// values against a reference built here from the layout tables the plain way:
// every field quoted, checked, appended; split fields cut by the quote count of
// the rest. The component computes quoting lengths without building the quoted
// text; the two must agree on every document: the same bytes in the same file,
// or the same error (number and field label) and no file at all.
//
// The check that an export runs first (jobs/payment_check.h) must agree with
// the writer too: it refuses a document by one of the writer's rules exactly
// when the writer raises, and its first such refusal is the writer's error.
//
// Input: one byte choosing the regional preset, then the document's values.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "core/records.h"
#include "fuzz_support.h"
#include "jobs/payment_check.h"
#include "runtime/codepage.h"
#include "support/recording_host.h"

namespace {

using norv::ComError;
using norv::PaymentDoc;

constexpr char16_t kFolder[] = u"\\fuzz";
constexpr char16_t kDPPath[] = u"\\fuzz\\240131.mok";
constexpr char16_t kFPPath[] = u"\\fuzz\\240131.tar";

// An error of the reference: its number and the label of the field.
struct FieldError {
  int32_t number;
  std::u16string label;
};

class ReferenceLine {
 public:
  std::u16string line;
  std::optional<FieldError> error;

  static std::u16string Quote(const std::u16string& value) {
    std::u16string out;
    bool enclose = false;
    for (char16_t c : value) {
      out += c;
      if (c == u'"') out += c;
      if (c == u'"' || c == u' ') enclose = true;
    }
    return enclose ? u"\"" + out + u"\"" : out;
  }

  // False once an error stopped the line.
  bool Add(const std::u16string& label, const std::u16string& value, size_t max, bool required) {
    if (error) return false;
    if (value.empty() && required) {
      error = FieldError{norv::kErrRequiredEmpty, label};
      return false;
    }
    const std::u16string quoted = Quote(value);
    if (quoted.size() > max) {
      error = FieldError{norv::kErrValueTooLong, label};
      return false;
    }
    line += quoted + u",";
    return true;
  }

  void AddSplit(const std::u16string& label, std::u16string rest, int parts, bool required) {
    for (int part_no = 1; part_no <= parts; ++part_no) {
      if (error) return;
      const std::u16string quoted = Quote(rest);
      std::u16string part = rest;
      rest.clear();
      if (quoted.size() > 35) {
        size_t quotes = 0;
        for (char16_t c : quoted) quotes += c == u'"';
        if (quotes > 35) {  // Left with a negative length
          error = FieldError{norv::kErrInvalidCall, u""};
          return;
        }
        rest = part.substr(35 - quotes);
        part = part.substr(0, 35 - quotes);
      }
      Add(label + u" " + norv::IntToText(part_no), part, 35, required && part_no == 1);
    }
  }
};

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::u16string DateField(norv::Date date) {
  using namespace std::chrono;
  const auto days = static_cast<int>(std::trunc(date.serial()));
  const year_month_day ymd{sys_days{year{1899} / December / 30} + std::chrono::days{days}};
  char text[16];
  std::snprintf(text, sizeof text, "%04d.%02u.%02u", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  return Ascii(text);
}

std::u16string AmountField(norv::Currency amount) {
  // Exactly: the amount has at most 15 significant digits below 10^11, and a
  // larger one is too long for the field whatever its digits.
  const int64_t raw = amount.raw();
  const bool negative = raw < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  const uint64_t cents = (magnitude + 50) / 100;  // half away from zero
  std::u16string text = Ascii(std::to_string(cents / 100)) + u".";
  text += Ascii(std::to_string(cents % 100 / 10)) + Ascii(std::to_string(cents % 10));
  return negative && cents != 0 ? u"-" + text : text;
}

ReferenceLine Build(int32_t doc_type, const PaymentDoc& doc) {
  ReferenceLine r;
  std::u16string number;
  try {
    number = norv::GeneralNumber(norv::LeadingNumber(doc.DocNumber),
                                 norv::RegionalSettings::Current().decimal_separator);
  } catch (const ComError& error) {  // a number beyond the range of a double
    r.error = FieldError{error.number(), u""};
  }
  r.Add(u"Numeris", number, 9, true);
  r.Add(u"Data", DateField(doc.DocDate), 10, true);
  if (doc_type == 1) {
    r.Add(u"Moketojo kodas", doc.PayerCode, 15, false);
    r.Add(u"Moketojo pavadinimas", doc.PayerName, 60, false);
    r.Add(u"Moketojo banko kodas", doc.PayerBankCode, 9, true);
    r.Add(u"Moketojo saskaita", doc.PayerAccount, 20, true);
    r.Add(u"Suma", AmountField(doc.Amount), 14, true);
    r.Add(u"Valiuta", doc.CurrencyCode, 3, true);
    r.Add(u"Gavejo kodas", doc.PayeeCode, 15, false);
    r.Add(u"Gavejo pavadinimas", doc.PayeeName, 60, true);
    r.Add(u"Gavejo banko kodas", doc.PayeeBankCode, 9, false);
    r.Add(u"Gavejo saskaita", doc.PayeeAccount, 20, true);
    r.Add(u"FMI kodas", u"", 3, false);
    r.Add(u"Mokejimo pask. kodas", doc.PurposeCode, 5, false);
    r.Add(u"Mokejimo paskirtis",
          doc.Purpose.size() <= 140 ? doc.Purpose : doc.AltPurpose.substr(0, 138), 140, false);
  } else {
    if (!r.error && (doc.PaymentType < 1 || doc.PaymentType > 3)) {
      r.error = FieldError{norv::kErrBadPaymentType, u"Tipas"};
    }
    r.Add(u"Tipas", norv::IntToText(doc.PaymentType), 1, true);
    r.Add(u"Valiuta", doc.CurrencyCode, 3, true);
    r.Add(u"Suma", AmountField(doc.Amount), 14, true);
    r.Add(u"Moketojo saskaita", doc.PayerAccount, 20, true);
    r.Add(u"Banko, kurio prasymu vykdomas pavedimas, kodas", doc.PayerBankCode, 9, true);
    r.Add(u"Koresp, banko SWIFT", u"", 11, false);
    r.Add(u"Gavejo banko saskaita korespondentiniame banke", u"", 34, false);
    r.Add(u"Koresp. banko pavadinimas 1", u"", 35, false);
    r.Add(u"Koresp. banko pavadinimas 2", u"", 35, false);
    r.Add(u"Koresp. banko adresas 1", u"", 35, false);
    r.Add(u"Koresp. banko adresas 2", u"", 35, false);
    r.Add(u"Gavejo banko SWIFT", doc.PayeeBankSwift, 11, false);
    r.Add(u"Gavejo banko kodas", doc.PayeeBankCode, 34, false);
    r.AddSplit(u"Gavejo banko pavadinimas", doc.PayeeBankName, 2, true);
    r.AddSplit(u"Gavejo banko adresas", doc.PayeeBankAddress, 2, false);
    r.Add(u"Gavejo saskaita", doc.PayeeAccount, 34, true);
    r.AddSplit(u"Gavejo pavadinimas", doc.PayeeName, 2, true);
    r.AddSplit(u"Gavejo adresas", doc.PayeeAddress, 2, false);
    r.AddSplit(u"Mokejimo ypatumai", doc.Purpose, 4, false);
    r.Add(u"Uzsienio banko mokesciai", norv::IntToText(doc.ForeignBankCharges), 1, false);
    r.Add(u"Gaveja informuoti teleksu", u"", 1, false);
    r.Add(u"Gaveja informuoti telefonu", u"", 1, false);
    r.Add(u"Telefono numeris informavimui", u"", 20, false);
    const bool required = doc.ForeignBankCharges != 3;
    r.Add(u"Komisiniu mokesciu saskaita", doc.ChargesAccount, 20, required);
    r.Add(u"Komisinių mokesčių sąskaitos valiuta", doc.ChargesCurrency, 3, required);
  }
  if (!r.line.empty()) r.line.pop_back();
  return r;
}

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
  const ReferenceLine expected = Build(doc_type, doc);

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

  if (expected.error) {
    fuzz::Require(error.has_value(), "the reference failed, the component did not");
    if (error->number() != expected.error->number) {
      fuzz::Broken(std::string("another error than the reference's (") +
                   std::to_string(expected.error->number) + " " + U16ToUtf8(expected.error->label) +
                   "): " + error->what());
    }
    if (!expected.error->label.empty()) {
      fuzz::Require(error->source() == expected.error->label,
                    std::string("the error names another field: ") + error->what());
    }
    fuzz::Require(files.Get(kDPPath) == nullptr && files.Get(kFPPath) == nullptr,
                  "a refused document left a file");
    return 0;
  }
  fuzz::Require(!error.has_value(), std::string("the component failed, the reference did not: ") +
                                        (error ? error->what() : ""));
  const bool local = doc_type == 1;
  const std::string* written = files.Get(local ? kDPPath : kFPPath);
  fuzz::Require(written != nullptr, "no file written");
  if (*written != cp1257::Encode(expected.line) + "\r\n") {
    fuzz::Broken("the line differs from the reference:\n" + *written + "\n" +
                 cp1257::Encode(expected.line));
  }
  fuzz::Require(files.Get(local ? kFPPath : kDPPath) == nullptr, "the other file was written");
  RegionalSettings::SetCurrent(RegionalSettings::LtLT());
  return 0;
}
