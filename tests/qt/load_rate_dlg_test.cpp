// LoadRateDlgVB on screen inside the host's dialog frame: a smoke test of the
// refused OK, the choice of two columns and the load, and of Cancel. The other
// outcomes of the load are the scripted runs' (tests/rates).
#include <QComboBox>
#include <QFileDialog>

#include <gtest/gtest.h>

#include "qt_test_host.h"
#include "rates/load_rate_dlg.h"
#include "runtime/text.h"
#include "support/bank_files.h"

namespace norv::qttest {
namespace {

class LoadRateDlgQtTest : public DialogTest {
 protected:
  void SetUp() override {
    for (auto code : {u"LB", u"NR"}) {
      rec().AddRecord(u"REFRateType", {{u"Code", code}, {u"Name", code}});
      for (auto currency : {u"USD", u"EUR"}) {
        rec().AddRecord(u"REFCurrencyRateType", {{u"RateTypeCode", code},
                                                 {u"CurrencyCode", currency},
                                                 {u"Amount", 1},
                                                 {u"IsReverse", 0}});
      }
    }
    rec().AddRecord(u"REFCurrency", {{u"CurrencyCode", u"USD"}});
    rec().AddRecord(u"REFCurrency", {{u"CurrencyCode", u"EUR"}});
    rec().SetPathKey(u"RazizeRuveRO", folder_.u16path());
    folder_.WriteBytes(
        "kursai.txt",
        testing::BankFile({testing::RateLine("USD", {"3.4528", "0", "0", "0", "3.49"}),
                           testing::RateLine("EUR", {"3.4528", "0", "0", "0", "3.455"}),
                           "2006.03.31 kursai", "GALAS"}));
  }
  bool Run() {
    std::u16string key, name;
    return dlg_.Run(key, name);
  }
  QString RateFile() const { return Q(folder_.u16path()) + QStringLiteral("/kursai.txt"); }

  LoadRateDlgVB dlg_;
};

TEST_F(LoadRateDlgQtTest, RefusesOkWithoutARateTypeThenLoadsTheChosenColumns) {
  qt().QueueUser([&](qt::FormDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), Q(rec().Text(4017)));
    auto* combo = qobject_cast<QComboBox*>(dialog.WidgetFor(u"cbLBRateType"));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 3);  // nothing chosen, then the book's two types
    ClickOn(dialog, u"btOk");      // nothing chosen: refused
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(rec().Messages().size(), 1u);
    EXPECT_EQ(rec().Messages()[0].text, rec().Text(1220));
    TypeInto(dialog, u"edLBRateFile", RateFile());
    PickCode(dialog, u"cbLBRateType", QStringLiteral("LB"));
    PickCode(dialog, u"cbSellRateType", QStringLiteral("NR"));
    SaveScreenshot(dialog, QStringLiteral("LoadRateDlgVB"));
    PressKey(dialog, Qt::Key_Return);
  });
  EXPECT_TRUE(Run());
  std::vector<std::u16string> stored;  // "CUR/TYPE=rate", in book order
  for (const testing::Record& r : rec().Records(u"REFCurrencyRate")) {
    stored.push_back(VariantToText(r.at(u"CurrencyCode")) + u"/" +
                     VariantToText(r.at(u"RateTypeCode")) + u"=" + VariantToText(r.at(u"Rate")));
  }
  EXPECT_EQ(stored, (std::vector<std::u16string>{u"USD/LB=3,4528", u"USD/NR=3,49", u"EUR/LB=3,4528",
                                                 u"EUR/NR=3,455"}));
  EXPECT_EQ(rec().WaitIndicatorsAlive(), 0);
}

// The only run of the rate dialog's browse button: the file chosen fills the box whole.
TEST_F(LoadRateDlgQtTest, BrowseButtonFillsTheFileBoxFromTheFileDialog) {
  qt().QueueFileAnswer([&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.directory().absolutePath(), Q(folder_.u16path()));
    dialog.selectFile(RateFile());
    return true;
  });
  qt().QueueUser([&](qt::FormDialog& dialog) {
    ClickOn(dialog, u"btSelectDPFile");
    EXPECT_EQ(TextOf(dialog, u"edLBRateFile"), Q(ComponentPath(folder_, u"kursai.txt")));
    ClickOn(dialog, u"btCancel");
  });
  EXPECT_TRUE(Run());
}

TEST_F(LoadRateDlgQtTest, CancelLoadsNothing) {
  qt().QueueUser([&](qt::FormDialog& dialog) {
    TypeInto(dialog, u"edLBRateFile", RateFile());
    PickCode(dialog, u"cbLBRateType", QStringLiteral("LB"));
    ClickOn(dialog, u"btCancel");
  });
  EXPECT_TRUE(Run());
  EXPECT_TRUE(rec().Records(u"REFCurrencyRate").empty());
  EXPECT_TRUE(rec().Messages().empty());
}

}  // namespace
}  // namespace norv::qttest
