// The statement reader: BeginImport, BeginImportByAccount and the parse of one
// tab-separated statement line into a StatementLine.
//
// A statement file can hold a million lines and is read twice (once to find
// the account's dates, once by ImportDoc), so the parse works on views of the
// converted line, split once for its tabs and quotes (TabbedLine), checks the
// 32 fields in straight-line code generated from a constant table, and writes
// into a record whose buffers survive from line to line: after the first few
// lines a parse allocates nothing but the converter's result.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "import/load_statement_dlg.h"
#include "import/tabbed_line.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"

namespace norv {
namespace {

enum class FieldKind { kText, kAmount, kNumber };

// One of the 32 fields of a statement line. A field with no member is parsed
// and checked, then dropped.
struct LineField {
  std::u16string_view label;  // names the field in error messages
  FieldKind kind;
  int16_t max_len;
  std::u16string StatementLine::*text = nullptr;
  Currency StatementLine::*amount = nullptr;
  int16_t StatementLine::*number = nullptr;
  uint8_t readers = 0;  // bits of the uses that read the kept text
};

constexpr uint8_t ReaderBit(StatementLineUse use) { return uint8_t{1} << static_cast<int>(use); }
constexpr uint8_t kScan = ReaderBit(StatementLineUse::kScan);
constexpr uint8_t kDocument = ReaderBit(StatementLineUse::kDocument);

constexpr LineField Text(std::u16string_view label, int16_t max_len,
                         std::u16string StatementLine::*member = nullptr, uint8_t readers = 0) {
  return {label, FieldKind::kText, max_len, member, nullptr, nullptr, readers};
}
constexpr LineField Amount(std::u16string_view label, int16_t max_len,
                           Currency StatementLine::*member) {
  return {label, FieldKind::kAmount, max_len, nullptr, member, nullptr};
}
constexpr LineField Number(std::u16string_view label, int16_t max_len,
                           int16_t StatementLine::*member) {
  return {label, FieldKind::kNumber, max_len, nullptr, nullptr, member};
}

using L = StatementLine;

// The fields in file order.
constexpr std::array<LineField, TabbedLine::kMaxFields> kStatementFields = {
    Text(u"Kliento KIF'o numeris", 5, &L::ClientKifNo),
    Text(u"Saskaitos operacijos data", 10, &L::OpDateText, kScan | kDocument),
    Text(u"Kliento saskaitos numeris", 11, &L::ClientAccount, kScan | kDocument),
    Number(u"Sask. Valiutos skaitinis kodas", 2, &L::CurrencyNo),
    Text(u"Sask. Valiutos raidinis kodas", 3, &L::CurrencyCode, kDocument),
    Text(u"Dokumento numeris", 10, &L::DocNumber, kDocument),
    Text(u"Korespond. Banko kodas", 9, &L::CorrBankCode),
    Text(u"Korespond. saskaitos numeris", 35, &L::CorrAccount, kDocument),
    Amount(u"Debeto suma(valiuta)", 20, &L::DebitAmount),
    Amount(u"Debeto suma(ekvivalentu)", 20, &L::DebitAmountEq),
    Amount(u"Kredito suma(valiuta)", 20, &L::CreditAmount),
    Amount(u"Kredito suma(ekvivalentu)", 20, &L::CreditAmountEq),
    Text(u"Operacijos(tranzak.) numeris", 10, &L::TransNo, kDocument),
    Text(u"Operacijos eilute", 5, &L::OpLine),
    Text(u"Operacijos tipas", 5, &L::OpType),
    Text(u"Uzskaitomo dokumento uzkvitavimo data", 10, &L::SettleDateText),
    Text(u"Korespond. Banko pavadinimas", 60, &L::CorrBankName, kDocument),
    Text(u"Korespond. saskaitos pavadinimas", 60, &L::CorrAccountName),
    Text(u"Operacijos komentaras", 254, &L::Comment, kDocument),
    Text(u"Korespond. Imones/Asmens kodas", 11, &L::CorrCode, kDocument),
    Text(u"Imokos kodas(mokesciu inspekcijos)", 3, &L::TaxPaymentCode),
    Text(u"Kliento imokos kodas", 28, &L::ClientPaymentCode),
    Text(u"Operacijos su paskoline sask. dokumento Nr.", 10, &L::LoanDocNumber, kDocument),
    Text(u"Mokėjimo priemonės pavadinimas", 32),
    Text(u"Sąskaitos savininko įmonės/asmens kodas", 11),
    Text(u"Sąskaitos savininko banko kodas", 9),
    Text(u"Sąskaitos savininko pavadinimas", 60),
    Text(u"Sąskaitos savininko adresas", 60),
    Text(u"Koresponduojamosios sąskaitos valiutos raidinis kodas", 3),
    Text(u"Kliento sąskaitos numeris (IBAN)", 20, &L::ClientIban, kDocument),
    Text(u"Koresponduojamojo banko tarptautinis identifikavimo kodas (BIC)", 11),
    Text(u"Koresponduojamosios sąskaitos numeris (IBAN)", 20, &L::CorrIban, kDocument),
};

// A text field loses one enclosing pair of double quotes first. A lone quote
// "encloses" itself: cutting the pair from one character is an invalid call, as
// the platform's Mid would have it.
std::u16string_view StripEnclosingQuotes(std::u16string_view token) {
  if (token.empty() || token.front() != u'"' || token.back() != u'"') return token;
  if (token.size() == 1) RaiseRuntime(kErrInvalidCall);
  return token.substr(1, token.size() - 2);
}

// Then each doubled quote becomes one, scanning from the left as Replace does.
void AppendHalvingQuotes(std::u16string_view text, std::u16string& out) {
  for (size_t quote = text.find(u'"'); quote != std::u16string_view::npos;
       quote = text.find(u'"')) {
    out.append(text.substr(0, quote + 1));
    text.remove_prefix(quote + 1);
    if (!text.empty() && text.front() == u'"') text.remove_prefix(1);
  }
  out.append(text);
}

// The length that AppendHalvingQuotes would append, without building the text.
size_t HalvedLength(std::u16string_view text) {
  size_t length = text.size();
  for (size_t quote = text.find(u'"'); quote != std::u16string_view::npos;
       quote = text.find(u'"')) {
    text.remove_prefix(quote + 1);
    if (!text.empty() && text.front() == u'"') {
      text.remove_prefix(1);
      --length;
    }
  }
  return length;
}

// The error of a field over its maximum, built by TooLong(Label, offending
// text). Kept out of line: the field checks that call it are inlined 32 times.
template <typename TooLongError>
[[noreturn]] void RaiseTooLong(const TooLongError& TooLong, std::u16string_view Label,
                               std::u16string_view Offending) {
  throw TooLong(Label, std::u16string(Offending));
}

// A text field with a double quote in it: its quotes are undone before its
// length is checked. A field that is only checked is measured, not built.
template <typename TooLongError>
void ParseQuotedText(std::u16string_view Token, size_t MaxLen, std::u16string_view Label,
                     std::u16string* Text, const TooLongError& TooLong) {
  const std::u16string_view inner = StripEnclosingQuotes(Token);
  if (Text == nullptr && HalvedLength(inner) <= MaxLen) return;
  std::u16string offending;
  std::u16string& text = Text != nullptr ? *Text : offending;
  text.clear();
  AppendHalvingQuotes(inner, text);
  if (text.size() > MaxLen) RaiseTooLong(TooLong, Label, text);
}

// Stores a checked text. Kept out of line, so that the checks around it stay
// small enough to be inlined for every field.
[[gnu::noinline]] void Keep(std::u16string_view text, std::u16string& into) {
  into.clear();
  into.append(text);
}

// Quotes of a field that the split did not count.
constexpr unsigned kQuotesNotCounted = ~0u;

// ParseField of a text holding `Quotes` double quotes: the text goes into
// *Text (its buffer reused; none for a text that is only checked).
template <typename TooLongError>
inline void ParseTextField(std::u16string_view Token, unsigned Quotes, int16_t MaxLen,
                           std::u16string_view Label, std::u16string* Text,
                           const TooLongError& TooLong) {
  const size_t max_len = static_cast<size_t>(MaxLen);
  if (Text == nullptr) {
    // Undoing quotes only shortens a text, so one within its maximum as read
    // passes; only a lone quote fails then.
    if (Token.size() <= max_len && Token != u"\"") return;
    ParseQuotedText(Token, max_len, Label, nullptr, TooLong);
    return;
  }
  if (Quotes == kQuotesNotCounted) {
    Quotes = static_cast<unsigned>(std::count(Token.begin(), Token.end(), u'"'));
  }
  std::u16string_view text = Token;
  if (Quotes != 0) {
    // Only an enclosing pair with nothing quoted inside is undone here.
    const bool enclosed_only =
        Quotes == 2 && Token.size() >= 2 && Token.front() == u'"' && Token.back() == u'"';
    if (!enclosed_only) {
      ParseQuotedText(Token, max_len, Label, Text, TooLong);
      return;
    }
    text = Token.substr(1, Token.size() - 2);
  }
  if (text.size() > max_len) RaiseTooLong(TooLong, Label, text);
  Keep(text, *Text);
}

// The plainest amount text: an optional minus, 1 to 14 digits and, after the
// decimal separator, 1 to 4 more. Five amounts stand in every statement line,
// nearly all of this form, so it is read here directly; ParseCurrency reads it
// to the same value (an exact decimal needs no rounding) and decides every
// other text, blanks and digit grouping included.
bool ReadPlainAmount(std::u16string_view text, char16_t decimal_separator, Currency& amount) {
  auto is_digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == u'-';
  if (negative) ++i;
  const size_t whole_start = i;
  int64_t raw = 0;
  // At most 15 digits are taken, so that a longer run cannot overflow `raw`.
  for (; i < text.size() && is_digit(text[i]) && i - whole_start <= 14; ++i) {
    raw = raw * 10 + (text[i] - u'0');
  }
  const size_t whole_digits = i - whole_start;
  if (whole_digits == 0 || whole_digits > 14) return false;
  int64_t scale = Currency::kScale;
  if (i < text.size()) {
    if (text[i] != decimal_separator) return false;
    const size_t fraction_start = ++i;
    for (; i < text.size() && is_digit(text[i]) && i - fraction_start < 4; ++i) {
      raw = raw * 10 + (text[i] - u'0');
      scale /= 10;
    }
    if (i == fraction_start || i != text.size()) return false;
  }
  amount = Currency::FromRaw((negative ? -raw : raw) * scale);
  return true;
}

// ParseField of an amount. The conversion comes first: a long text that is no
// number fails as a type mismatch.
template <typename TooLongError>
inline Currency ParseAmountField(std::u16string_view Token, int16_t MaxLen,
                                 std::u16string_view Label, const RegionalSettings& Settings,
                                 const TooLongError& TooLong) {
  Currency amount;
  if (!ReadPlainAmount(Token, Settings.decimal_separator, amount)) {
    amount = Settings.ParseCurrency(Token);
  }
  if (Token.size() > static_cast<size_t>(MaxLen)) RaiseTooLong(TooLong, Label, Token);
  return amount;
}

// An amount rounded to a 16-bit whole number, ties to even as CInt rounds.
int16_t ToInt16(Currency value) {
  const int64_t raw = value.raw();
  int64_t whole = raw / Currency::kScale;
  const int64_t rest = raw % Currency::kScale;  // carries the sign of raw
  const int64_t twice = 2 * (rest < 0 ? -rest : rest);
  if (twice > Currency::kScale || (twice == Currency::kScale && whole % 2 != 0)) {
    whole += raw < 0 ? -1 : 1;
  }
  if (whole < INT16_MIN || whole > INT16_MAX) RaiseRuntime(kErrOverflow);
  return static_cast<int16_t>(whole);
}

// ParseField of field I of the table: converted, checked and stored. Each field gets code of
// its own, so that its kind, maximum and place in the record are constants.
template <size_t I, StatementLineUse kUse, typename TooLongError>
inline void ParseFieldAt(const TabbedLine& fields, StatementLine& into,
                         const RegionalSettings& settings, const TooLongError& too_long) {
  constexpr LineField field = kStatementFields[I];
  if constexpr (field.kind == FieldKind::kText) {
    // A dropped field, or one that the use does not read, is checked without being kept.
    std::u16string* keep = nullptr;
    if constexpr (field.text != nullptr && (field.readers & ReaderBit(kUse)) != 0) {
      keep = &(into.*field.text);
    }
    // The scan's split counts no quotes.
    const unsigned quotes = kUse == StatementLineUse::kScan ? kQuotesNotCounted : fields.Quotes(I);
    ParseTextField(fields.Field(I), quotes, field.max_len, field.label, keep, too_long);
  } else if constexpr (field.kind == FieldKind::kAmount) {
    into.*field.amount =
        ParseAmountField(fields.Field(I), field.max_len, field.label, settings, too_long);
  } else {
    into.*field.number =
        ToInt16(ParseAmountField(fields.Field(I), field.max_len, field.label, settings, too_long));
  }
}

// Every field in file order, so that the first faulty one is the one reported.
template <StatementLineUse kUse, typename TooLongError, size_t... I>
void ParseFields(const TabbedLine& fields, StatementLine& into, const RegionalSettings& settings,
                 const TooLongError& too_long, std::index_sequence<I...>) {
  (ParseFieldAt<I, kUse>(fields, into, settings, too_long), ...);
}

void ClearStatementLine(StatementLine& line) {
  for (const LineField& field : kStatementFields) {
    if (field.text) (line.*field.text).clear();
    if (field.amount) line.*field.amount = Currency();
    if (field.number) line.*field.number = 0;
  }
}

}  // namespace

bool CBankCl_VB::IClientBank_BeginImport(StHead&) {
  m_oStatementDlg = std::make_unique<LoadStatementDlg>();
  std::u16string key = u"RazizeRuveRO";
  m_oStatementDlg->Init(key, u"", /*KreditSideDocCreate=*/true, u"");
  return true;
}

bool CBankCl_VB::IClientBank_BeginImportByAccount(StHead& head) {
  if (!m_oStatementDlg) RaiseRuntime(kErrObjectNotSet);
  m_oStatementDlg->ShowModal();
  if (m_oStatementDlg->ResultText().empty()) return false;

  Date from;
  Date to;
  if (!ScanAccount(head.Account, from, to)) return false;
  head.DateFrom = from;
  head.DateTo = to;
  head.CreditSideDocs = m_oStatementDlg->chCreateKreditDoc.Value() == 1;
  m_StHead = head;
  return true;
}

bool CBankCl_VB::ScanAccount(const std::u16string& Account, Date& DateFrom, Date& DateTo) {
  CFile& file = m_oStatementDlg->ImpFile();
  if (!file.OpenFile()) return false;

  bool found = false;
  std::u16string line;
  StatementLine parsed;
  while (file.ReadStr(line)) {
    // The end marker does not end the scan: lines after it count too.
    if (line == kStatementEndMarker) continue;
    ParseStatementLine(line, parsed, StatementLineUse::kScan);
    if (parsed.ClientAccount != Account) continue;
    const Date date = RegionalSettings::Current().ParseDate(parsed.OpDateText);
    if (DateFrom.IsEmpty() || date < DateFrom) DateFrom = date;
    if (DateTo.IsEmpty() || date > DateTo) DateTo = date;
    found = true;
  }

  // ImportDoc reads from the first line again; this opening is not checked.
  file.OpenFile();
  return found;
}

void CBankCl_VB::ParseStatementLine(const std::u16string& Line, StatementLine& Into,
                                    StatementLineUse Use) {
  if (Line == kStatementEndMarker) {
    ClearStatementLine(Into);
    return;
  }
  const std::u16string converted = LineConverterOnFirstUse().Convert(Line, host::kConvertFromBank);
  TabbedLine fields;
  // The scan keeps only two short texts, which it counts the quotes of itself.
  fields.Split(converted, /*count_quotes=*/Use != StatementLineUse::kScan);
  const auto too_long = [this](std::u16string_view label, const std::u16string& text) {
    const std::u16string source(label);
    return ComError(kErrValueTooLong, source, ErrorText(kErrValueTooLong, source, text));
  };
  const RegionalSettings& settings = RegionalSettings::Current();
  constexpr auto kEveryField = std::make_index_sequence<kStatementFields.size()>();
  switch (Use) {
    case StatementLineUse::kScan:
      ParseFields<StatementLineUse::kScan>(fields, Into, settings, too_long, kEveryField);
      break;
    case StatementLineUse::kDocument:
      ParseFields<StatementLineUse::kDocument>(fields, Into, settings, too_long, kEveryField);
      break;
  }
}

}  // namespace norv
