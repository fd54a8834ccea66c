// One smoke test per dialog of the component on screen, each with its
// screenshot: the browse buttons through the Qt file dialogs, keys and picks,
// and what OK hands on. The other outcomes are the scripted runs' (tests/rates,
// tests/import, tests/export).
#include <QDir>
#include <QFileDialog>

#include <gtest/gtest.h>

#include "export/export_file.h"
#include "export/select_files_dlg.h"
#include "import/load_statement_dlg.h"
#include "qt_test_host.h"
#include "rates/load_rate_dlg.h"
#include "support/bank_files.h"

namespace norv::qttest {
namespace {

// Answers the next file dialog with `name` in the test's folder, where a file
// choice starts (a folder choice starts where the last one ended).
void ChooseFile(QtTestHost& qt, const testing::TempFolder& folder, const char16_t* name) {
  qt.QueueFileAnswer([&folder, name](QFileDialog& dialog) {
    if (dialog.fileMode() != QFileDialog::Directory) {
      EXPECT_EQ(dialog.directory().absolutePath(), Q(folder.u16path()));
    }
    dialog.selectFile(Q(folder.u16path()) + u'/' + QString::fromUtf16(name));
    return true;
  });
}

TEST_F(DialogTest, LoadRateDlgRefusesOkWithoutATypeThenLoadsTheChosenColumns) {
  for (auto code : {u"LB", u"NR"}) {
    rec().AddRecord(u"REFRateType", {{u"Code", code}, {u"Name", code}});
    for (auto currency : {u"USD", u"EUR"}) {
      rec().AddRecord(u"REFCurrencyRateType",
                      {{u"RateTypeCode", code}, {u"CurrencyCode", currency}, {u"Amount", 1}});
      if (code[0] == u'L') rec().AddRecord(u"REFCurrency", {{u"CurrencyCode", currency}});
    }
  }
  rec().SetPathKey(u"RazizeRuveRO", folder_.u16path());
  folder_.WriteBytes(
      "kursai.txt", testing::BankFile({testing::RateLine("USD", {"3.4528", "0", "0", "0", "3.49"}),
                                       testing::RateLine("EUR", {"3.4528", "0", "0", "0", "3.455"}),
                                       "2006.03.31 kursai", "GALAS"}));
  ChooseFile(qt(), folder_, u"kursai.txt");
  qt().QueueUser([&](qt::FormDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), Q(rec().Text(4017)));
    ClickOn(dialog, u"btOk");  // no rate type chosen: refused, the dialog stays
    EXPECT_TRUE(dialog.isVisible());
    ClickOn(dialog, u"btSelectDPFile");
    EXPECT_EQ(TextOf(dialog, u"edLBRateFile"), Q(ComponentPath(folder_, u"kursai.txt")));
    PickCode(dialog, u"cbLBRateType", QStringLiteral("LB"));
    PickCode(dialog, u"cbSellRateType", QStringLiteral("NR"));
    CheckLayout(dialog, QStringLiteral("LoadRateDlgVB"));
    PressKey(dialog, Qt::Key_Return);
  });
  LoadRateDlgVB dlg;
  std::u16string key, name;
  EXPECT_TRUE(dlg.Run(key, name));
  EXPECT_EQ(rec().Records(u"REFCurrencyRate").size(), 4u);  // two currencies, two columns
}

TEST_F(DialogTest, LoadStatementDlgPicksTheFileTicksTheOptionAndOpensOnEnter) {
  rec().SetPathKey(u"RazizeRuveRO", folder_.u16path());
  folder_.WriteBytes("išrašas.txt", "pirma eilut\xEB\r\nGALAS\r\n");
  std::u16string key = u"RazizeRuveRO";
  LoadStatementDlg dlg;
  dlg.Init(key, u"", true);
  ChooseFile(qt(), folder_, u"išrašas.txt");
  qt().QueueUser([&](qt::FormDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), Q(rec().Text(4000)));
    ClickOn(dialog, u"btSelectDPFile");
    EXPECT_EQ(TextOf(dialog, u"edImpFile"), Q(ComponentPath(folder_, u"išrašas.txt")));
    Toggle(dialog, u"chCreateKreditDoc");  // shown: Init asked for it
    CheckLayout(dialog, QStringLiteral("LoadStatementDlg"));
    PressKey(dialog, Qt::Key_Return);
  });
  dlg.ShowModal();
  EXPECT_EQ(dlg.ResultText(), ComponentPath(folder_, u"išrašas.txt"));
  EXPECT_EQ(dlg.chCreateKreditDoc.Value(), 1);
}

// Only the folder button browses: the scripted runs click all three in one go.
TEST_F(DialogTest, SelectFilesDlgShowsTheProposedNamesAndTakesTheTypedOnes) {
  rec().SetPathKey(u"RazizeRuveRO", folder_.u16path());
  QDir().mkpath(Q(folder_.u16path()) + QStringLiteral("/Mokėjimai"));
  ChooseFile(qt(), folder_, u"Mokėjimai");
  qt().QueueUser([&](qt::FormDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), Q(rec().Text(4002)));
    EXPECT_EQ(TextOf(dialog, u"edDPFile") + TextOf(dialog, u"edFPFile"), u"240131.mok240131.tar");
    CheckLayout(dialog, QStringLiteral("SelectFilesDlg"));
    ClickOn(dialog, u"btSelectDPFile");  // no action: no dialog comes up
    ClickOn(dialog, u"btSelectFPFile");
    EXPECT_EQ(TextOf(dialog, u"edPath"), Q(folder_.u16path()));
    ClickOn(dialog, u"btSelectPath");
    TypeInto(dialog, u"edDPFile", QStringLiteral("vietiniai_ąčę.mok"));
    TypeInto(dialog, u"edFPFile", QString());
    PressKey(dialog, Qt::Key_Return);
  });
  CExportFile target;
  Date end = Date::FromCivil(2024, 1, 31);
  EXPECT_TRUE(target.ShowFileDlg(end, u"mok", u"tar", u"", u"RazizeRuveRO"));
  EXPECT_EQ(target.DPFile().Path() + u"|" + target.DPFile().FileName() + u"|" +
                target.FPFile().FileName(),
            folder_.u16path() + u"/Mokėjimai|vietiniai_ąčę.mok|");
}

}  // namespace
}  // namespace norv::qttest
