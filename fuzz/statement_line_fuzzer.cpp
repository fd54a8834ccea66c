// Fuzzes the parse of one statement line (ParseStatementLine) against a plain
// reference parse written here the slow, obvious way: split at every tab,
// strip one enclosing pair of quotes, halve doubled quotes, check the maximum,
// convert amounts through the regional settings. The component's parse marks
// tabs and quotes sixteen characters at a time and reuses buffers; both must
// agree on every line, in the record they fill (the texts that the scan or the
// import reads, every amount and number) or in the error they raise.
//
// Input: one byte choosing the regional preset, then the line in Windows-1257.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "fuzz_support.h"
#include "import/statement_line.h"
#include "runtime/codepage.h"
#include "support/recording_host.h"

namespace norv {

// The component's test seam: CBankCl_VB befriends this name.
struct CBankClTestPeer {
  static void Parse(CBankCl_VB& bank, const std::u16string& line, StatementLine& into,
                    StatementLineUse use) {
    bank.ParseStatementLine(line, into, use);
  }
};

namespace {

enum class Kind { kText, kAmount, kNumber };

struct Field {
  const char16_t* label;
  Kind kind;
  size_t max;
  std::u16string StatementLine::*text = nullptr;
  Currency StatementLine::*amount = nullptr;
  int16_t StatementLine::*number = nullptr;
};

using L = StatementLine;
const std::array<Field, 32> kFields = {{
    {u"Kliento KIF'o numeris", Kind::kText, 5, &L::ClientKifNo},
    {u"Saskaitos operacijos data", Kind::kText, 10, &L::OpDateText},
    {u"Kliento saskaitos numeris", Kind::kText, 11, &L::ClientAccount},
    {u"Sask. Valiutos skaitinis kodas", Kind::kNumber, 2, nullptr, nullptr, &L::CurrencyNo},
    {u"Sask. Valiutos raidinis kodas", Kind::kText, 3, &L::CurrencyCode},
    {u"Dokumento numeris", Kind::kText, 10, &L::DocNumber},
    {u"Korespond. Banko kodas", Kind::kText, 9, &L::CorrBankCode},
    {u"Korespond. saskaitos numeris", Kind::kText, 35, &L::CorrAccount},
    {u"Debeto suma(valiuta)", Kind::kAmount, 20, nullptr, &L::DebitAmount},
    {u"Debeto suma(ekvivalentu)", Kind::kAmount, 20, nullptr, &L::DebitAmountEq},
    {u"Kredito suma(valiuta)", Kind::kAmount, 20, nullptr, &L::CreditAmount},
    {u"Kredito suma(ekvivalentu)", Kind::kAmount, 20, nullptr, &L::CreditAmountEq},
    {u"Operacijos(tranzak.) numeris", Kind::kText, 10, &L::TransNo},
    {u"Operacijos eilute", Kind::kText, 5, &L::OpLine},
    {u"Operacijos tipas", Kind::kText, 5, &L::OpType},
    {u"Uzskaitomo dokumento uzkvitavimo data", Kind::kText, 10, &L::SettleDateText},
    {u"Korespond. Banko pavadinimas", Kind::kText, 60, &L::CorrBankName},
    {u"Korespond. saskaitos pavadinimas", Kind::kText, 60, &L::CorrAccountName},
    {u"Operacijos komentaras", Kind::kText, 254, &L::Comment},
    {u"Korespond. Imones/Asmens kodas", Kind::kText, 11, &L::CorrCode},
    {u"Imokos kodas(mokesciu inspekcijos)", Kind::kText, 3, &L::TaxPaymentCode},
    {u"Kliento imokos kodas", Kind::kText, 28, &L::ClientPaymentCode},
    {u"Operacijos su paskoline sask. dokumento Nr.", Kind::kText, 10, &L::LoanDocNumber},
    {u"Mokėjimo priemonės pavadinimas", Kind::kText, 32},
    {u"Sąskaitos savininko įmonės/asmens kodas", Kind::kText, 11},
    {u"Sąskaitos savininko banko kodas", Kind::kText, 9},
    {u"Sąskaitos savininko pavadinimas", Kind::kText, 60},
    {u"Sąskaitos savininko adresas", Kind::kText, 60},
    {u"Koresponduojamosios sąskaitos valiutos raidinis kodas", Kind::kText, 3},
    {u"Kliento sąskaitos numeris (IBAN)", Kind::kText, 20, &L::ClientIban},
    {u"Koresponduojamojo banko tarptautinis identifikavimo kodas (BIC)", Kind::kText, 11},
    {u"Koresponduojamosios sąskaitos numeris (IBAN)", Kind::kText, 20, &L::CorrIban},
}};

// Rounds an amount to a 16-bit whole number, ties to even.
int16_t RoundToInt16(Currency value) {
  const int64_t raw = value.raw();
  int64_t whole = raw / Currency::kScale;
  int64_t rest = raw - whole * Currency::kScale;
  if (rest < 0) rest = -rest;
  if (rest * 2 > Currency::kScale || (rest * 2 == Currency::kScale && whole % 2 != 0)) {
    whole += raw < 0 ? -1 : 1;
  }
  if (whole < -32768 || whole > 32767) RaiseRuntime(kErrOverflow);
  return static_cast<int16_t>(whole);
}

StatementLine ReferenceParse(const std::u16string& line, const RegionalSettings& settings) {
  StatementLine out;
  if (line == u"GALAS") return out;
  std::vector<std::u16string> tokens(1);
  for (char16_t c : line) {
    if (c == u'\t') {
      tokens.emplace_back();
    } else {
      tokens.back() += c;
    }
  }
  for (size_t i = 0; i < kFields.size(); ++i) {
    const Field& field = kFields[i];
    const std::u16string token = i < tokens.size() ? tokens[i] : u"";
    const auto too_long = [&] { throw ComError(kErrValueTooLong, field.label, u""); };
    if (field.kind == Kind::kText) {
      std::u16string inner = token;
      if (!inner.empty() && inner.front() == u'"' && inner.back() == u'"') {
        if (inner.size() == 1) RaiseRuntime(kErrInvalidCall);
        inner = inner.substr(1, inner.size() - 2);
      }
      std::u16string text;
      for (size_t k = 0; k < inner.size(); ++k) {
        text += inner[k];
        if (inner[k] == u'"' && k + 1 < inner.size() && inner[k + 1] == u'"') ++k;
      }
      if (text.size() > field.max) too_long();
      if (field.text) out.*field.text = text;
    } else {
      const Currency amount = settings.ParseCurrency(token);
      if (token.size() > field.max) too_long();
      if (field.amount) out.*field.amount = amount;
      if (field.number) out.*field.number = RoundToInt16(amount);
    }
  }
  return out;
}

// The texts each reader of a parse uses; a parse for it stores those (and
// every amount and number) and may leave the other texts as they were.
bool Stores(StatementLineUse use, std::u16string StatementLine::*text) {
  using L = StatementLine;
  if (text == &L::ClientAccount || text == &L::OpDateText) return true;
  if (use == StatementLineUse::kScan) return false;
  for (auto used : {&L::ClientIban, &L::CorrAccount, &L::CorrIban, &L::CorrCode, &L::CorrBankName,
                    &L::DocNumber, &L::LoanDocNumber, &L::Comment, &L::CurrencyCode, &L::TransNo}) {
    if (text == used) return true;
  }
  return false;
}

bool SameRecord(const StatementLine& a, const StatementLine& b, StatementLineUse use) {
  for (const Field& field : kFields) {
    if (field.text && Stores(use, field.text) && a.*field.text != b.*field.text) return false;
    if (field.amount && a.*field.amount != b.*field.amount) return false;
    if (field.number && a.*field.number != b.*field.number) return false;
  }
  return true;
}

}  // namespace
}  // namespace norv

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace norv;
  fuzz::FuzzInput input(data, size);
  const RegionalSettings settings = fuzz::PresetOf(input.Byte());
  RegionalSettings::SetCurrent(settings);
  const std::u16string line = cp1257::Decode(input.Rest());

  testing::ScopedRecordingHost host;
  CBankCl_VB bank;
  std::optional<ComError> reference_error;
  StatementLine expected;
  try {
    expected = ReferenceParse(line, settings);
  } catch (const ComError& error) {
    reference_error = error;
  }

  for (StatementLineUse use : {StatementLineUse::kScan, StatementLineUse::kDocument}) {
    // A record left over from an earlier line must not leak into this one.
    StatementLine parsed;
    parsed.ClientAccount = u"stale";
    parsed.Comment = u"stale";
    parsed.DebitAmount = Currency::FromRaw(7);
    parsed.CurrencyNo = 7;
    std::optional<ComError> component_error;
    try {
      CBankClTestPeer::Parse(bank, line, parsed, use);
    } catch (const ComError& error) {
      fuzz::RequireErrorIn(error,
                           {kErrValueTooLong, kErrTypeMismatch, kErrOverflow, kErrInvalidCall});
      component_error = error;
    }
    if (component_error && !reference_error) {
      fuzz::Broken(std::string("only the component failed: ") + component_error->what());
    }
    if (reference_error && !component_error) {
      fuzz::Broken(std::string("only the reference failed: ") + reference_error->what());
    }
    if (component_error) {
      if (component_error->number() != reference_error->number() ||
          component_error->source() != reference_error->source()) {
        fuzz::Broken(std::string("different errors: ") + component_error->what() + " / " +
                     reference_error->what());
      }
    } else {
      fuzz::Require(SameRecord(parsed, expected, use),
                    "the parsed record differs from the reference");
    }
  }
  RegionalSettings::SetCurrent(RegionalSettings::LtLT());
  return 0;
}
