// Fuzzes the parse of one statement line (ParseStatementLine). The expected
// records and errors of chosen lines live in tests/data/statement_mapping and
// tests/data/statement_fields; here every line must parse or raise a known
// error, the scan and the document parse must raise the same error, and a
// record left over from an earlier line must not leak into this one.
//
// Input: one byte choosing the regional preset, then the line in Windows-1257.
#include <cstdint>
#include <optional>
#include <string>

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

}  // namespace norv

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace norv;
  fuzz::FuzzInput input(data, size);
  RegionalSettings::SetCurrent(fuzz::PresetOf(input.Byte()));
  const std::u16string line = cp1257::Decode(input.Rest());

  testing::ScopedRecordingHost host;
  CBankCl_VB bank;
  std::optional<int32_t> first_error;
  std::u16string first_source;
  for (StatementLineUse use : {StatementLineUse::kScan, StatementLineUse::kDocument}) {
    StatementLine fresh;
    StatementLine stale;
    stale.ClientAccount = u"stale";
    stale.Comment = u"stale";
    stale.DebitAmount = Currency::FromRaw(7);
    stale.CurrencyNo = 7;
    std::optional<int32_t> error;
    try {
      CBankClTestPeer::Parse(bank, line, fresh, use);
      CBankClTestPeer::Parse(bank, line, stale, use);
    } catch (const ComError& raised) {
      fuzz::RequireErrorIn(raised,
                           {kErrValueTooLong, kErrTypeMismatch, kErrOverflow, kErrInvalidCall});
      error = raised.number();
      if (use == StatementLineUse::kScan) {
        first_error = error;
        first_source = raised.source();
      } else {
        fuzz::Require(first_error == error && first_source == raised.source(),
                      std::string("the document parse raises another error: ") + raised.what());
      }
    }
    if (error) continue;
    fuzz::Require(use == StatementLineUse::kScan || !first_error, "only the scan parse failed");
    fuzz::Require(fresh.ClientAccount == stale.ClientAccount &&
                      fresh.DebitAmount == stale.DebitAmount &&
                      fresh.CurrencyNo == stale.CurrencyNo &&
                      (use == StatementLineUse::kScan || fresh.Comment == stale.Comment),
                  "a field of an earlier line leaked into the record");
  }
  RegionalSettings::SetCurrent(RegionalSettings::LtLT());
  return 0;
}
