#include "export/payment_fields.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/error_numbers.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv {
namespace {

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

using FieldRequired::kNo;
using FieldRequired::kUnlessNoCharges;
using FieldRequired::kYes;

const std::u16string& Empty(const PaymentDoc&, std::u16string&) { return kEmpty; }

const std::u16string& DocDate(const PaymentDoc& doc, std::u16string& scratch) {
  scratch = RegionalSettings::FormatDatePattern(doc.DocDate, u"YYYY.MM.DD");
  return scratch;
}

const std::u16string& PaymentType(const PaymentDoc& doc, std::u16string& scratch) {
  scratch = IntToText(doc.PaymentType);
  return scratch;
}

const std::u16string& Charges(const PaymentDoc& doc, std::u16string& scratch) {
  scratch = IntToText(doc.ForeignBankCharges);
  return scratch;
}

const std::u16string& LocalPurpose(const PaymentDoc& doc, std::u16string& scratch) {
  if (doc.Purpose.size() <= kLocalPurposeMax) return doc.Purpose;
  scratch = Left(doc.AltPurpose, kAltPurposeCut);
  return scratch;
}

// A member of the document as it is.
template <std::u16string PaymentDoc::*member>
const std::u16string& Member(const PaymentDoc& doc, std::u16string&) {
  return doc.*member;
}

using D = PaymentDoc;

const PaymentField kLocalFields[] = {
    {kNumeris, DocNumberField, 9, kYes},
    {kData, DocDate, 10, kYes},
    {kMoketojoKodas, Member<&D::PayerCode>, 15, kNo},
    {kMoketojoPavadinimas, Member<&D::PayerName>, 60, kNo},
    {kMoketojoBankoKodas, Member<&D::PayerBankCode>, 9, kYes},
    {kMoketojoSaskaita, Member<&D::PayerAccount>, 20, kYes},
    {kSuma, AmountField, 14, kYes},
    {kValiuta, Member<&D::CurrencyCode>, 3, kYes},
    {kGavejoKodas, Member<&D::PayeeCode>, 15, kNo},
    {kGavejoPavadinimas, Member<&D::PayeeName>, 60, kYes},
    {kGavejoBankoKodas, Member<&D::PayeeBankCode>, 9, kNo},
    {kGavejoSaskaita, Member<&D::PayeeAccount>, 20, kYes},
    {kFmiKodas, Empty, 3, kNo},
    {kMokejimoPaskKodas, Member<&D::PurposeCode>, 5, kNo},
    {kMokejimoPaskirtis, LocalPurpose, 140, kNo},
};

const PaymentField kForeignFields[] = {
    {kNumeris, DocNumberField, 9, kYes},
    {kData, DocDate, 10, kYes},
    {kTipas, PaymentType, 1, kYes, 0, true},
    {kValiuta, Member<&D::CurrencyCode>, 3, kYes},
    {kSuma, AmountField, 14, kYes},
    {kMoketojoSaskaita, Member<&D::PayerAccount>, 20, kYes},
    {kPayerBankForeign, Member<&D::PayerBankCode>, 9, kYes},
    {kKorespBankoSwift, Empty, 11, kNo},
    {kPayeeBankCorrAccount, Empty, 34, kNo},
    {kKorespBankoPavadinimas1, Empty, 35, kNo},
    {kKorespBankoPavadinimas2, Empty, 35, kNo},
    {kKorespBankoAdresas1, Empty, 35, kNo},
    {kKorespBankoAdresas2, Empty, 35, kNo},
    {kGavejoBankoSwift, Member<&D::PayeeBankSwift>, 11, kNo},
    {kGavejoBankoKodas, Member<&D::PayeeBankCode>, 34, kNo},
    {kGavejoBankoPavadinimas, Member<&D::PayeeBankName>, kPartWidth, kYes, 2},
    {kGavejoBankoAdresas, Member<&D::PayeeBankAddress>, kPartWidth, kNo, 2},
    {kGavejoSaskaita, Member<&D::PayeeAccount>, 34, kYes},
    {kGavejoPavadinimas, Member<&D::PayeeName>, kPartWidth, kYes, 2},
    {kGavejoAdresas, Member<&D::PayeeAddress>, kPartWidth, kNo, 2},
    {kMokejimoYpatumai, Member<&D::Purpose>, kPartWidth, kNo, 4},
    {kUzsienioBankoMokesciai, Charges, 1, kNo},
    {kInformuotiTeleksu, Empty, 1, kNo},
    {kInformuotiTelefonu, Empty, 1, kNo},
    {kTelefonoNumeris, Empty, 20, kNo},
    {kKomisiniuSaskaita, Member<&D::ChargesAccount>, 20, kUnlessNoCharges},
    {kKomisiniuValiuta, Member<&D::ChargesCurrency>, 3, kUnlessNoCharges},
};

}  // namespace

// The leading numeric part of the number in the general number form, whose
// decimal separator is the regional one (document numbers are whole numbers).
const std::u16string& DocNumberField(const PaymentDoc& doc, std::u16string& scratch) {
  // Up to 15 digits and nothing else, the usual number, read and written
  // exactly by a double: the digits without their leading zeros. The parse and
  // format are the rule; this is the same result without them.
  const std::u16string& number = doc.DocNumber;
  if (!number.empty() && number.size() <= 15 &&
      std::all_of(number.begin(), number.end(),
                  [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
    const size_t first = std::min(number.find_first_not_of(u'0'), number.size() - 1);
    scratch.assign(number, first);
    return scratch;
  }
  scratch =
      GeneralNumber(LeadingNumber(doc.DocNumber), RegionalSettings::Current().decimal_separator);
  return scratch;
}

const std::u16string& AmountField(const PaymentDoc& doc, std::u16string& scratch) {
  scratch = FormatPaymentAmount(doc.Amount);
  return scratch;
}

bool PaymentField::IsRequired(const PaymentDoc& doc) const {
  switch (required) {
    case kYes:
      return true;
    case kUnlessNoCharges:
      return doc.ForeignBankCharges != kChargesNeedNoAccount;
    case kNo:
      break;
  }
  return false;
}

std::span<const PaymentField> PaymentFields(int32_t doc_type) {
  if (doc_type == kLocalPayment) return kLocalFields;
  return kForeignFields;
}

std::u16string FormatPaymentAmount(const Currency& amount) {
  // A positive amount of whole cents below 10^11, the usual one: its digits
  // as they are, which the pattern gives too (the double is within far less
  // than half a cent of the amount).
  const int64_t raw = amount.raw();
  if (raw > 0 && raw % 100 == 0 && raw < 100'000'000'000 * int64_t{10000}) {
    const int64_t cents = raw / 100;
    std::u16string text = IntToText(static_cast<long long>(cents / 100));
    text += u'.';
    text += static_cast<char16_t>(u'0' + cents % 100 / 10);
    text += static_cast<char16_t>(u'0' + cents % 10);
    return text;
  }
  std::u16string text =
      RegionalSettings::Current().FormatNumber(amount.ToDouble(), u"##########0.00");
  std::replace(text.begin(), text.end(), u',', u'.');
  return text;
}

QuotedForm QuotingOf(std::u16string_view value) {
  if (value.size() > kLongestQuotableValue) RaiseRuntime(kErrOverflow);
  QuotedForm form;
  bool blank = false;
  size_t i = 0;
#if defined(__SSE2__)
  // Eight characters at a time: a field is mostly short, and the compiler's
  // own vectorizing widens every character to a 64-bit count first. A lane
  // counts at most 32767 / 8 quotes, well within 16 bits.
  const __m128i quote = _mm_set1_epi16(u'"');
  const __m128i space = _mm_set1_epi16(u' ');
  __m128i quotes = _mm_setzero_si128();
  __m128i blanks = _mm_setzero_si128();
  for (; i + 8 <= value.size(); i += 8) {
    const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(value.data() + i));
    quotes = _mm_sub_epi16(quotes, _mm_cmpeq_epi16(chars, quote));  // a match is -1
    blanks = _mm_or_si128(blanks, _mm_cmpeq_epi16(chars, space));
  }
  alignas(16) uint16_t lanes[8];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), quotes);
  for (uint16_t lane : lanes) form.quotes += lane;
  blank = _mm_movemask_epi8(blanks) != 0;
#endif
  for (; i < value.size(); ++i) {
    form.quotes += value[i] == u'"';
    blank = blank || value[i] == u' ';
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
  // Runs between double quotes go over whole; each quote is written twice.
  for (size_t quote; (quote = value.find(u'"')) != std::u16string_view::npos;) {
    out.append(value.substr(0, quote + 1));
    out += u'"';
    value.remove_prefix(quote + 1);
  }
  out += value;
  out += u'"';
}

std::optional<size_t> SplitCut(std::u16string_view rest, int16_t width) {
  const QuotedForm form = QuotingOf(rest);
  if (form.Length(rest.size()) <= static_cast<size_t>(width)) return rest.size();
  const auto take = static_cast<int64_t>(width) - static_cast<int64_t>(form.QuoteCharacters());
  if (take < 0) return std::nullopt;
  return static_cast<size_t>(take);
}

}  // namespace norv
