// Payment-order lines: one PaymentDoc becomes one comma-separated line of the
// DP file (local payment, 15 fields) or the FP file (foreign payment, 34 fields).
// Every field is quoted, checked against its maximum and its required flag, and
// appended with a trailing comma; the last comma goes before the line is written.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "export/export_file.h"
#include "files/cfile.h"
#include "host/host_library.h"
#include "runtime/com_error.h"
#include "runtime/currency.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv {
namespace {

// Labels name the fields in error messages only; they never reach the file.
// Kept as strings so that each field costs no allocation on the export's hot path.
const std::u16string kNumeris = u"Numeris";
const std::u16string kData = u"Data";
const std::u16string kTipas = u"Tipas";
const std::u16string kValiuta = u"Valiuta";
const std::u16string kSuma = u"Suma";
const std::u16string kMoketojoKodas = u"Moketojo kodas";
const std::u16string kMoketojoPavadinimas = u"Moketojo pavadinimas";
const std::u16string kMoketojoBankoKodas = u"Moketojo banko kodas";
const std::u16string kMoketojoSaskaita = u"Moketojo saskaita";
const std::u16string kGavejoKodas = u"Gavejo kodas";
const std::u16string kGavejoPavadinimas = u"Gavejo pavadinimas";
const std::u16string kGavejoBankoKodas = u"Gavejo banko kodas";
const std::u16string kGavejoSaskaita = u"Gavejo saskaita";
const std::u16string kFmiKodas = u"FMI kodas";
const std::u16string kMokejimoPaskKodas = u"Mokejimo pask. kodas";
const std::u16string kMokejimoPaskirtis = u"Mokejimo paskirtis";
const std::u16string kPayerBankForeign = u"Banko, kurio prasymu vykdomas pavedimas, kodas";
const std::u16string kKorespBankoSwift = u"Koresp, banko SWIFT";
const std::u16string kPayeeBankCorrAccount = u"Gavejo banko saskaita korespondentiniame banke";
const std::u16string kKorespBankoPavadinimas1 = u"Koresp. banko pavadinimas 1";
const std::u16string kKorespBankoPavadinimas2 = u"Koresp. banko pavadinimas 2";
const std::u16string kKorespBankoAdresas1 = u"Koresp. banko adresas 1";
const std::u16string kKorespBankoAdresas2 = u"Koresp. banko adresas 2";
const std::u16string kGavejoBankoSwift = u"Gavejo banko SWIFT";
const std::u16string kGavejoBankoPavadinimas = u"Gavejo banko pavadinimas";
const std::u16string kGavejoBankoAdresas = u"Gavejo banko adresas";
const std::u16string kGavejoAdresas = u"Gavejo adresas";
const std::u16string kMokejimoYpatumai = u"Mokejimo ypatumai";
const std::u16string kUzsienioBankoMokesciai = u"Uzsienio banko mokesciai";
const std::u16string kInformuotiTeleksu = u"Gaveja informuoti teleksu";
const std::u16string kInformuotiTelefonu = u"Gaveja informuoti telefonu";
const std::u16string kTelefonoNumeris = u"Telefono numeris informavimui";
const std::u16string kKomisiniuSaskaita = u"Komisiniu mokesciu saskaita";
const std::u16string kKomisiniuValiuta = u"Komisinių mokesčių sąskaitos valiuta";
const std::u16string kEmpty;

// A local purpose longer than this is replaced by the cut AltPurpose.
constexpr size_t kLocalPurposeMax = 140;
constexpr size_t kAltPurposeCut = 138;
// ForeignBankCharges of this code makes the charge account and currency optional.
constexpr int32_t kChargesNeedNoAccount = 3;
// Width of each part of a split field.
constexpr int16_t kPartWidth = 35;
// The quoting walk counts positions in 16 bits.
constexpr size_t kLongestQuotableValue = 32767;

// The quoting rule, shared by QuoteValue and the checks that only need the
// quoted form's length: every double quote doubled, and the whole enclosed in
// double quotes when the value holds a blank or a double quote.
struct QuotedForm {
  size_t quotes = 0;  // double quotes in the value
  bool enclosed = false;
  size_t Length(size_t value_length) const { return value_length + quotes + (enclosed ? 2 : 0); }
  // Double quote characters in the quoted form.
  size_t QuoteCharacters() const { return 2 * quotes + (enclosed ? 2 : 0); }
};

QuotedForm QuotingOf(std::u16string_view value) {
  // The platform walks the value with a 16-bit position.
  if (value.size() > kLongestQuotableValue) RaiseRuntime(kErrOverflow);
  QuotedForm form;
  bool blank = false;
  for (char16_t c : value) {
    form.quotes += c == u'"';
    blank = blank || c == u' ';
  }
  form.enclosed = blank || form.quotes > 0;
  return form;
}

void AppendQuoted(std::u16string& out, std::u16string_view value, const QuotedForm& form) {
  if (!form.enclosed) {  // no blank and no double quote: the value as it is
    out += value;
    return;
  }
  out += u'"';
  for (char16_t c : value) {
    out += c;
    if (c == u'"') out += c;
  }
  out += u'"';
}

// The leading numeric part of the number in the general number form, whose
// decimal separator is the regional one (document numbers are whole numbers).
std::u16string FormatDocNumber(const std::u16string& number) {
  return GeneralNumber(LeadingNumber(number), RegionalSettings::Current().decimal_separator);
}

std::u16string FormatDocDate(Date date) {
  return RegionalSettings::FormatDatePattern(date, u"YYYY.MM.DD");
}

}  // namespace

void CBankCl_VB::IClientBank_ExportDoc(int32_t& DocType, PaymentDoc& Doc) {
  const std::unique_ptr<host::WaitIndicator> wait =
      host::HostLibrary::Current().CreateWaitIndicator();

  m_sDocNo = Doc.DocNumber;
  m_sDocDate = RegionalSettings::Current().FormatShortDate(Doc.DocDate);
  m_sLine.clear();

  const bool local = DocType == kLocalPayment;
  if (local) {
    AddField(kNumeris, FormatDocNumber(Doc.DocNumber), 9, true);
    AddField(kData, FormatDocDate(Doc.DocDate), 10, true);
    AddField(kMoketojoKodas, Doc.PayerCode, 15, false);
    AddField(kMoketojoPavadinimas, Doc.PayerName, 60, false);
    AddField(kMoketojoBankoKodas, Doc.PayerBankCode, 9, true);
    AddField(kMoketojoSaskaita, Doc.PayerAccount, 20, true);
    AddField(kSuma, FormatAmount(Doc.Amount), 14, true);
    AddField(kValiuta, Doc.CurrencyCode, 3, true);
    AddField(kGavejoKodas, Doc.PayeeCode, 15, false);
    AddField(kGavejoPavadinimas, Doc.PayeeName, 60, true);
    AddField(kGavejoBankoKodas, Doc.PayeeBankCode, 9, false);
    AddField(kGavejoSaskaita, Doc.PayeeAccount, 20, true);
    AddField(kFmiKodas, kEmpty, 3, false);
    AddField(kMokejimoPaskKodas, Doc.PurposeCode, 5, false);
    if (Doc.Purpose.size() <= kLocalPurposeMax) {
      AddField(kMokejimoPaskirtis, Doc.Purpose, 140, false);
    } else {
      AddField(kMokejimoPaskirtis, Left(Doc.AltPurpose, kAltPurposeCut), 140, false);
    }
  } else {
    AddField(kNumeris, FormatDocNumber(Doc.DocNumber), 9, true);
    AddField(kData, FormatDocDate(Doc.DocDate), 10, true);
    if (Doc.PaymentType < 1 || Doc.PaymentType > 3) {
      throw ComError(kErrBadPaymentType, DocErrorText(kTipas),
                     ErrorText(kErrBadPaymentType, kTipas, IntToText(Doc.PaymentType)));
    }
    AddField(kTipas, IntToText(Doc.PaymentType), 1, true);
    AddField(kValiuta, Doc.CurrencyCode, 3, true);
    AddField(kSuma, FormatAmount(Doc.Amount), 14, true);
    AddField(kMoketojoSaskaita, Doc.PayerAccount, 20, true);
    AddField(kPayerBankForeign, Doc.PayerBankCode, 9, true);
    AddField(kKorespBankoSwift, kEmpty, 11, false);
    AddField(kPayeeBankCorrAccount, kEmpty, 34, false);
    AddField(kKorespBankoPavadinimas1, kEmpty, 35, false);
    AddField(kKorespBankoPavadinimas2, kEmpty, 35, false);
    AddField(kKorespBankoAdresas1, kEmpty, 35, false);
    AddField(kKorespBankoAdresas2, kEmpty, 35, false);
    AddField(kGavejoBankoSwift, Doc.PayeeBankSwift, 11, false);
    AddField(kGavejoBankoKodas, Doc.PayeeBankCode, 34, false);
    AddSplitField(kGavejoBankoPavadinimas, Doc.PayeeBankName, 2, true, 1, kPartWidth);
    AddSplitField(kGavejoBankoAdresas, Doc.PayeeBankAddress, 2, false, 1, kPartWidth);
    AddField(kGavejoSaskaita, Doc.PayeeAccount, 34, true);
    AddSplitField(kGavejoPavadinimas, Doc.PayeeName, 2, true, 1, kPartWidth);
    AddSplitField(kGavejoAdresas, Doc.PayeeAddress, 2, false, 1, kPartWidth);
    AddSplitField(kMokejimoYpatumai, Doc.Purpose, 4, false, 1, kPartWidth);
    AddField(kUzsienioBankoMokesciai, IntToText(Doc.ForeignBankCharges), 1, false);
    AddField(kInformuotiTeleksu, kEmpty, 1, false);
    AddField(kInformuotiTelefonu, kEmpty, 1, false);
    AddField(kTelefonoNumeris, kEmpty, 20, false);
    const bool charges_required = Doc.ForeignBankCharges != kChargesNeedNoAccount;
    AddField(kKomisiniuSaskaita, Doc.ChargesAccount, 20, charges_required);
    AddField(kKomisiniuValiuta, Doc.ChargesCurrency, 3, charges_required);
  }

  // Counted only once every field was accepted, before the line is written.
  CFile& target = local ? m_oExportFile->DPFile() : m_oExportFile->FPFile();
  CheckedIncrement(local ? m_iDPCount : m_iFPCount);

  if (!m_sLine.empty() && m_sLine.back() == u',') m_sLine.pop_back();
  m_sLine = LineConverterOnFirstUse().Convert(m_sLine, host::kConvertToBank);
  if (!target.WriteStr(m_sLine)) {
    throw ComError(kErrLineNotWritten, kDefaultErrorSource,
                   ErrorText(kErrLineNotWritten, target.FileName(), m_sLine));
  }
}

std::u16string CBankCl_VB::FormatAmount(const Currency& Amount) {
  std::u16string text =
      RegionalSettings::Current().FormatNumber(Amount.ToDouble(), u"##########0.00");
  std::replace(text.begin(), text.end(), u',', u'.');
  return text;
}

void CBankCl_VB::AddField(const std::u16string& Label, const std::u16string& Value, int16_t MaxLen,
                          bool Required) {
  if (Value.empty() && Required) {
    throw ComError(kErrRequiredEmpty, DocErrorText(Label),
                   ErrorText(kErrRequiredEmpty, Label, Value));
  }
  const QuotedForm form = QuotingOf(Value);
  if (form.Length(Value.size()) > static_cast<size_t>(MaxLen)) {
    throw ComError(kErrValueTooLong, DocErrorText(Label),
                   ErrorText(kErrValueTooLong, Label, QuoteValue(Value)));
  }
  AppendQuoted(m_sLine, Value, form);
  m_sLine += u',';
}

std::u16string CBankCl_VB::QuoteValue(const std::u16string& Value) {
  const QuotedForm form = QuotingOf(Value);
  std::u16string quoted;
  quoted.reserve(form.Length(Value.size()));
  AppendQuoted(quoted, Value, form);
  return quoted;
}

void CBankCl_VB::AddSplitField(const std::u16string& Label, const std::u16string& Value,
                               int16_t PartCount, bool Required, int16_t PartNo,
                               int16_t PartWidth) {
  std::u16string_view rest = Value;
  std::u16string part;
  std::u16string part_label;
  for (;;) {
    const QuotedForm form = QuotingOf(rest);
    if (form.Length(rest.size()) > static_cast<size_t>(PartWidth)) {
      // The quotes of the whole rest are reserved up front, so the part never
      // outgrows the width after its own quoting.
      const auto take =
          static_cast<int64_t>(PartWidth) - static_cast<int64_t>(form.QuoteCharacters());
      // A rest with more quotes than the width leaves nothing to take: the
      // platform's Left refuses a negative length.
      if (take < 0) RaiseRuntime(kErrInvalidCall);
      part.assign(rest.substr(0, static_cast<size_t>(take)));
      rest.remove_prefix(static_cast<size_t>(take));
    } else {
      part.assign(rest);
      rest = {};
    }
    part_label = Label;
    part_label += u' ';
    part_label += IntToText(PartNo);
    AddField(part_label, part, PartWidth, Required);
    CheckedIncrement(PartNo);
    if (PartNo > PartCount) return;  // what is left of the text is dropped
    Required = false;
  }
}

}  // namespace norv
