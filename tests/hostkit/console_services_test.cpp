// Console services of batch runs: where messages and errors go and how an
// error becomes one line; the host's money rounding.
#include <gtest/gtest.h>

#include <sstream>

#include "hostkit/console_services.h"
#include "runtime/error_matchers.h"

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

TEST(HalfEvenUtilityTest, RoundsToTheDigitsTiesToEven) {
  struct Case {
    int64_t raw;
    int32_t digits;
    int64_t rounded;
  };
  HalfEvenUtility utility;
  for (const Case& c :
       {Case{12345, 4, 12345}, Case{12345, 3, 12340}, Case{12355, 3, 12360}, Case{12351, 3, 12350},
        Case{-12355, 3, -12360}, Case{-12345, 3, -12340}, Case{15000, 0, 20000},
        Case{25000, 0, 20000}, Case{-25001, 0, -30000}, Case{2896, 2, 2900}, Case{2850, 2, 2800}}) {
    EXPECT_EQ(utility.RoundMoney(Currency::FromRaw(c.raw), c.digits).raw(), c.rounded)
        << c.raw << " to " << c.digits;
  }
  EXPECT_RAISES(utility.RoundMoney(Currency::FromRaw(INT64_MAX), 0), kErrOverflow);
  EXPECT_RAISES(utility.RoundMoney(Currency::FromRaw(1), 5), kErrInvalidCall);
}

}  // namespace
}  // namespace norv::hostkit
