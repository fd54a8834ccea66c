// The statement reader: BeginImport, BeginImportByAccount and the parse of one
// tab-separated statement line into a StatementLine.
//
// A statement file can hold a million lines and is read twice (once to find
// the account's dates, once by ImportDoc), so the parse works on views of the
// converted line and writes into a record whose buffers survive from line to
// line: after the first few lines a parse allocates nothing but the
// converter's result.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "import/load_statement_dlg.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"

namespace norv {
namespace {

enum class FieldKind { kText, kAmount, kNumber };

// One of the 32 fields of a statement line. A field with no member is parsed
// and checked, then dropped.
struct FieldSpec {
  std::u16string label;
  FieldKind kind;
  int16_t max_len;
  std::u16string StatementLine::*text = nullptr;
  Currency StatementLine::*amount = nullptr;
  int16_t StatementLine::*number = nullptr;
};

FieldSpec Text(std::u16string label, int16_t max_len,
               std::u16string StatementLine::*member = nullptr) {
  return {std::move(label), FieldKind::kText, max_len, member, nullptr, nullptr};
}
FieldSpec Amount(std::u16string label, int16_t max_len, Currency StatementLine::*member) {
  return {std::move(label), FieldKind::kAmount, max_len, nullptr, member, nullptr};
}
FieldSpec Number(std::u16string label, int16_t max_len, int16_t StatementLine::*member) {
  return {std::move(label), FieldKind::kNumber, max_len, nullptr, nullptr, member};
}

using FieldTable = std::array<FieldSpec, 32>;

// The fields in file order; the labels name them in error messages.
const FieldTable& StatementFields() {
  using L = StatementLine;
  static const FieldTable table = {
      Text(u"Kliento KIF'o numeris", 5, &L::ClientKifNo),
      Text(u"Saskaitos operacijos data", 10, &L::OpDateText),
      Text(u"Kliento saskaitos numeris", 11, &L::ClientAccount),
      Number(u"Sask. Valiutos skaitinis kodas", 2, &L::CurrencyNo),
      Text(u"Sask. Valiutos raidinis kodas", 3, &L::CurrencyCode),
      Text(u"Dokumento numeris", 10, &L::DocNumber),
      Text(u"Korespond. Banko kodas", 9, &L::CorrBankCode),
      Text(u"Korespond. saskaitos numeris", 35, &L::CorrAccount),
      Amount(u"Debeto suma(valiuta)", 20, &L::DebitAmount),
      Amount(u"Debeto suma(ekvivalentu)", 20, &L::DebitAmountEq),
      Amount(u"Kredito suma(valiuta)", 20, &L::CreditAmount),
      Amount(u"Kredito suma(ekvivalentu)", 20, &L::CreditAmountEq),
      Text(u"Operacijos(tranzak.) numeris", 10, &L::TransNo),
      Text(u"Operacijos eilute", 5, &L::OpLine),
      Text(u"Operacijos tipas", 5, &L::OpType),
      Text(u"Uzskaitomo dokumento uzkvitavimo data", 10, &L::SettleDateText),
      Text(u"Korespond. Banko pavadinimas", 60, &L::CorrBankName),
      Text(u"Korespond. saskaitos pavadinimas", 60, &L::CorrAccountName),
      Text(u"Operacijos komentaras", 254, &L::Comment),
      Text(u"Korespond. Imones/Asmens kodas", 11, &L::CorrCode),
      Text(u"Imokos kodas(mokesciu inspekcijos)", 3, &L::TaxPaymentCode),
      Text(u"Kliento imokos kodas", 28, &L::ClientPaymentCode),
      Text(u"Operacijos su paskoline sask. dokumento Nr.", 10, &L::LoanDocNumber),
      Text(u"Mokėjimo priemonės pavadinimas", 32),
      Text(u"Sąskaitos savininko įmonės/asmens kodas", 11),
      Text(u"Sąskaitos savininko banko kodas", 9),
      Text(u"Sąskaitos savininko pavadinimas", 60),
      Text(u"Sąskaitos savininko adresas", 60),
      Text(u"Koresponduojamosios sąskaitos valiutos raidinis kodas", 3),
      Text(u"Kliento sąskaitos numeris (IBAN)", 20, &L::ClientIban),
      Text(u"Koresponduojamojo banko tarptautinis identifikavimo kodas (BIC)", 11),
      Text(u"Koresponduojamosios sąskaitos numeris (IBAN)", 20, &L::CorrIban),
  };
  return table;
}

// A text field loses one enclosing pair of double quotes, then each doubled
// quote becomes one. A lone quote "encloses" itself: cutting the pair from one
// character is an invalid call, as the platform's Mid would have it.
void UnquoteInto(std::u16string_view token, std::u16string& out) {
  if (!token.empty() && token.front() == u'"' && token.back() == u'"') {
    if (token.size() == 1) RaiseRuntime(kErrInvalidCall);
    token = token.substr(1, token.size() - 2);
  }
  out.clear();
  for (size_t pair = token.find(u"\"\""); pair != std::u16string_view::npos;
       pair = token.find(u"\"\"")) {
    out.append(token.substr(0, pair + 1));
    token.remove_prefix(pair + 2);
  }
  out.append(token);
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

void ClearStatementLine(StatementLine& line) {
  for (const FieldSpec& field : StatementFields()) {
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
    ParseStatementLine(line, parsed);
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

void CBankCl_VB::ParseStatementLine(const std::u16string& Line, StatementLine& Into) {
  if (Line == kStatementEndMarker) {
    ClearStatementLine(Into);
    return;
  }
  const std::u16string converted = LineConverterOnFirstUse().Convert(Line, host::kConvertFromBank);

  // Dropped fields are still checked; they share one buffer.
  thread_local std::u16string dropped_text;
  Currency number;
  Currency unused_amount;
  std::u16string_view rest = converted;
  for (const FieldSpec& field : StatementFields()) {
    const std::u16string_view token = NextField(rest);
    switch (field.kind) {
      case FieldKind::kText:
        ParseField(token, true, field.max_len, field.label,
                   field.text ? Into.*field.text : dropped_text, unused_amount);
        break;
      case FieldKind::kAmount:
        ParseField(token, false, field.max_len, field.label, dropped_text, Into.*field.amount);
        break;
      case FieldKind::kNumber:
        ParseField(token, false, field.max_len, field.label, dropped_text, number);
        Into.*field.number = ToInt16(number);
        break;
    }
  }
}

std::u16string_view CBankCl_VB::NextField(std::u16string_view& Line) {
  const size_t tab = Line.find(u'\t');
  if (tab == std::u16string_view::npos) {
    const std::u16string_view field = Line;
    Line = {};
    return field;
  }
  const std::u16string_view field = Line.substr(0, tab);
  Line.remove_prefix(tab + 1);
  return field;
}

void CBankCl_VB::ParseField(std::u16string_view Token, bool IsText, int16_t MaxLen,
                            const std::u16string& Label, std::u16string& Text,
                            Currency& Amount) {
  if (IsText) {
    UnquoteInto(Token, Text);
    if (Text.size() > static_cast<size_t>(MaxLen)) {
      throw ComError(kErrValueTooLong, Label, ErrorText(kErrValueTooLong, Label, Text));
    }
    return;
  }
  // The conversion comes first: a long text that is no number fails as a type mismatch.
  Amount = RegionalSettings::Current().ParseCurrency(Token);
  if (Token.size() > static_cast<size_t>(MaxLen)) {
    throw ComError(kErrValueTooLong, Label,
                   ErrorText(kErrValueTooLong, Label, std::u16string(Token)));
  }
}

}  // namespace norv
