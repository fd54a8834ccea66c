// Fuzzes the parse of one statement line (ParseStatementLine). The records and
// errors of chosen lines live in tests/data/statement_mapping and
// tests/data/statement_fields; here every line must parse or raise a known
// error, the scan and the document parse must raise the same error, and a
// record left over from an earlier line must not leak into this one.
//
// Input: one byte choosing the regional preset, then the line in Windows-1257.
#include <optional>
#include <string>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "fuzz_support.h"
#include "import/statement_line.h"
#include "runtime/codepage.h"

namespace norv {

// The component's test seam: CBankCl_VB befriends this name.
struct CBankClTestPeer {
  static void Parse(CBankCl_VB& bank, const std::u16string& line, StatementLine& into,
                    StatementLineUse use) {
    bank.ParseStatementLine(line, into, use);
  }
};

}  // namespace norv

void FuzzOne(norv::fuzz::FuzzInput& in) {
  using namespace norv;
  RegionalSettings::SetCurrent(fuzz::PresetOf(in.Byte()));
  const std::u16string line = cp1257::Decode(in.Rest());
  testing::ScopedRecordingHost host;
  CBankCl_VB bank;
  std::optional<ComError> scan_error;
  for (StatementLineUse use : {StatementLineUse::kScan, StatementLineUse::kDocument}) {
    StatementLine fresh, stale;
    stale.ClientAccount = stale.Comment = u"stale";
    stale.DebitAmount = Currency::FromRaw(7);
    stale.CurrencyNo = 7;
    const std::optional<ComError> error = fuzz::ErrorOf(
        [&] {
          CBankClTestPeer::Parse(bank, line, fresh, use);
          CBankClTestPeer::Parse(bank, line, stale, use);
        },
        {kErrValueTooLong, kErrTypeMismatch, kErrOverflow, kErrInvalidCall});
    if (use == StatementLineUse::kScan) {
      scan_error = error;
    } else if (scan_error.has_value() != error.has_value() ||
               (error && (scan_error->number() != error->number() ||
                          scan_error->source() != error->source()))) {
      fuzz::Broken("the scan and the document parse end otherwise");
    }
    fuzz::Require(
        error || (fresh.ClientAccount == stale.ClientAccount &&
                  fresh.DebitAmount == stale.DebitAmount && fresh.CurrencyNo == stale.CurrencyNo &&
                  (use == StatementLineUse::kScan || fresh.Comment == stale.Comment)),
        "a field of an earlier line leaked into the record");
  }
}
