// Console services of batch runs: where messages and errors go and how an
// error becomes one line; the host's money rounding (cases in tests/data).
#include <gtest/gtest.h>

#include <sstream>

#include "hostkit/console_services.h"
#include "runtime/com_error.h"
#include "support/data_files.h"

namespace norv::hostkit {
namespace {

TEST(ConsoleTest, AnErrorIsOneLineWithItsBreaksShownAsSlashes) {
  struct Case {
    ComError error;
    std::string line;
  };
  for (const Case& c : {
           Case{ComError(-2147221392, u"Dokumentas Nr. 7", u"Neužpildyta.\r\nSuma: „“"),
                "error -2147221392: Dokumentas Nr. 7: Neužpildyta. / Suma: „“"},
           Case{ComError(53, u"LoadStatementDlg::btOk_Click", u"File not found\nx\ry"),
                "error 53: LoadStatementDlg::btOk_Click: File not found / x / y"},
           Case{ComError(1100, u"", u"Atšaukta."), "error 1100: Norv_RazizeRuveRO_DOS: Atšaukta."},
       }) {
    EXPECT_EQ(ErrorLine(c.error), c.line);
  }
}

TEST(ConsoleTest, MessagesGoToTheOutputAndErrorsToTheErrorStream) {
  std::ostringstream out, err;
  auto console = std::make_shared<Console>(out, err);
  ConsoleMessageWindow window(console);
  EXPECT_EQ(host::ShowSimpleMessage(window, u"Baigta.\r\n\r\nDP - 2", host::kMessageInformation),
            1);
  host::ShowSimpleMessage(window, u"Klaida: %0", host::kMessageError);
  console->PendingError(ComError(5, u"m_btSelect_Click", u"Invalid procedure call or argument"));
  ConsoleErrorContext context(console);
  context.BeginContext(u"", u"");
  context.SetContextText(context.ContextText() + u" : a.txt b.txt");
  context.Finish();

  EXPECT_EQ(out.str(), "Baigta.\n\nDP - 2\n");
  EXPECT_EQ(err.str(),
            "Klaida: %0\n"
            "error 5: m_btSelect_Click: Invalid procedure call or argument\n"
            "error:  : a.txt b.txt\n");
  EXPECT_EQ(console->ErrorsReported(), 2);
}

// tests/data/money_rounding: an amount, the decimals, the rounded amount or the error.
TEST(HalfEvenUtilityTest, RoundsToTheDigitsTiesToEven) {
  HalfEvenUtility utility;
  for (const testing::Row& row : testing::Manifest("money_rounding", 3)) {
    SCOPED_TRACE(row[0] + " to " + row[1]);
    try {
      const Currency rounded =
          utility.RoundMoney(Currency::FromRaw(std::stoll(row[0])), std::stoi(row[1]));
      EXPECT_EQ(std::to_string(rounded.raw()), row[2]);
    } catch (const ComError& error) {
      EXPECT_EQ("error " + std::to_string(error.number()), row[2]);
    }
  }
}

}  // namespace
}  // namespace norv::hostkit
