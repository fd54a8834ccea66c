// LoadRateDlgVB on screen inside the host's dialog frame: the six rate-type
// combos listing the host's "REFRateType" book, the refused OK with nothing
// chosen, a load started by Enter, the file-open dialog, errors of the load and
// Cancel, with the outcomes the scripted runs give.
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>

#include <gtest/gtest.h>

#include "core/error_numbers.h"
#include "qt_test_host.h"
#include "rates/load_rate_dlg.h"
#include "runtime/text.h"
#include "sample_files.h"

namespace norv::qttest {
namespace {

constexpr const char16_t* kCombos[] = {u"cbLBRateType",       u"cbCashBuyRateType",
                                       u"cbCashSellRateType", u"cbBuyRateType",
                                       u"cbSellRateType",     u"cbCheckRateType"};

class LoadRateDlgQtTest : public DialogTest {
 protected:
  void SetUp() override {
    const std::vector<std::pair<const char16_t*, const char16_t*>> types = {
        {u"LB", u"Lietuvos banko"},      {u"GP", u"Grynųjų pirkimo"},
        {u"GR", u"Grynųjų pardavimo"},   {u"NP", u"Negrynųjų pirkimo"},
        {u"NR", u"Negrynųjų pardavimo"}, {u"ČK", u"Čekių supirkimo"}};
    for (auto [code, name] : types) {
      rec().AddRecord(u"REFRateType", {{u"Code", code}, {u"Name", name}});
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
    folder_.WriteBytes("kursai.txt", SampleRateFile());
  }
  bool Run() {
    std::u16string key, name;
    return dlg_.Run(key, name);
  }
  QString RateFile() const { return Q(folder_.u16path()) + QStringLiteral("/kursai.txt"); }
  // Rates stored as "CUR/TYPE=rate", in book order.
  std::vector<std::u16string> Stored() {
    std::vector<std::u16string> out;
    for (const testing::Record& r : rec().Records(u"REFCurrencyRate")) {
      out.push_back(VariantToText(r.at(u"CurrencyCode")) + u"/" +
                    VariantToText(r.at(u"RateTypeCode")) + u"=" + VariantToText(r.at(u"Rate")));
    }
    return out;
  }
  std::vector<testing::MessageCall> MessagesOfKind(int32_t kind) {
    std::vector<testing::MessageCall> out;
    for (const auto& m : rec().Messages()) {
      if (m.kind == kind) out.push_back(m);
    }
    return out;
  }

  LoadRateDlgVB dlg_;
};

TEST_F(LoadRateDlgQtTest, RefusesOkWithoutARateTypeThenLoadsTheChosenColumns) {
  qt().QueueUser([&](qt::FormDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), Q(rec().Text(4017)));
    auto* file_frame = qobject_cast<QGroupBox*>(dialog.WidgetFor(u"Frame1"));
    auto* type_frame = qobject_cast<QGroupBox*>(dialog.WidgetFor(u"Frame2"));
    ASSERT_NE(file_frame, nullptr);
    ASSERT_NE(type_frame, nullptr);
    EXPECT_EQ(file_frame->title(), Q(rec().Text(4014)));
    EXPECT_EQ(type_frame->title(), Q(rec().Text(4008)));
    EXPECT_EQ(dialog.WidgetFor(u"edLBRateFile")->parentWidget(), file_frame);
    const std::vector<std::pair<const char16_t*, int>> labels = {
        {u"Label2", 4013}, {u"Label4", 4012}, {u"Label5", 4011},
        {u"Label6", 4010}, {u"Label7", 4009}, {u"Label1", 4016}};
    int previous_y = -1;
    for (size_t i = 0; i < labels.size(); ++i) {
      QWidget* label = dialog.WidgetFor(labels[i].first);
      auto* combo = qobject_cast<QComboBox*>(dialog.WidgetFor(kCombos[i]));
      ASSERT_NE(combo, nullptr);
      EXPECT_EQ(TextOf(dialog, labels[i].first), Q(rec().Text(labels[i].second)));
      EXPECT_EQ(label->parentWidget(), type_frame);
      EXPECT_GT(label->y(), previous_y);
      EXPECT_LT(label->x(), combo->x());
      previous_y = label->y();
      ASSERT_EQ(combo->count(), 7);  // nothing chosen, then the six types
      EXPECT_EQ(combo->itemText(6), u"ČK  Čekių supirkimo");
    }
    EXPECT_EQ(TextOf(dialog, u"lbStatus"), QString());
    EXPECT_GT(dialog.WidgetFor(u"lbStatus")->y(), type_frame->geometry().bottom());

    ClickOn(dialog, u"btOk");  // nothing chosen: refused
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(MessagesOfKind(host::kMessageError).size(), 1u);
    EXPECT_EQ(MessagesOfKind(host::kMessageError)[0].text, rec().Text(1220));
    EXPECT_TRUE(rec().Records(u"REFCurrencyRate").empty());

    TypeInto(dialog, u"edLBRateFile", RateFile());
    PickCode(dialog, u"cbLBRateType", QStringLiteral("LB"));
    PickCode(dialog, u"cbSellRateType", QStringLiteral("NR"));
    SaveScreenshot(dialog, QStringLiteral("LoadRateDlgVB"));
    PressKey(dialog, Qt::Key_Return);
  });
  EXPECT_TRUE(Run());
  EXPECT_EQ(dlg_.cbLBRateType.SelectedCode(), u"LB");
  EXPECT_EQ(Stored(), (std::vector<std::u16string>{u"USD/LB=3,4528", u"USD/NR=3,49",
                                                   u"EUR/LB=3,4528", u"EUR/NR=3,455"}));
  const auto summaries = MessagesOfKind(host::kMessageInformation);
  ASSERT_EQ(summaries.size(), 1u);
  EXPECT_EQ(summaries[0].text, rec().Text(998) + u" 2");
  EXPECT_EQ(summaries[0].button1, u"Gerai");
  EXPECT_EQ(rec().WaitIndicatorsAlive(), 0);
  EXPECT_GE(rec().WaitIndicatorsCreated(), 1);
}

TEST_F(LoadRateDlgQtTest, BrowseButtonFillsTheFileBoxFromTheFileDialog) {
  qt().QueueFileAnswer([&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), Q(rec().Text(986)));
    EXPECT_EQ(dialog.directory().absolutePath(), Q(folder_.u16path()));
    dialog.selectFile(RateFile());
    return true;
  });
  qt().QueueUser([&](qt::FormDialog& dialog) {
    ClickOn(dialog, u"btSelectDPFile");
    QString expected = RateFile();
    expected.replace(u'/', u'\\');
    EXPECT_EQ(TextOf(dialog, u"edLBRateFile"), expected);
    PickCode(dialog, u"cbCheckRateType", QStringLiteral("ČK"));
    ClickOn(dialog, u"btOk");
  });
  EXPECT_TRUE(Run());
  EXPECT_EQ(Stored(), (std::vector<std::u16string>{u"USD/ČK=3,3", u"EUR/ČK=3,4"}));
}

TEST_F(LoadRateDlgQtTest, MissingRateFileIsReportedOnceAndNothingIsStored) {
  qt().QueueUser([&](qt::FormDialog& dialog) {
    TypeInto(dialog, u"edLBRateFile", Q(folder_.u16path()) + QStringLiteral("/nėra.txt"));
    PickCode(dialog, u"cbBuyRateType", QStringLiteral("NP"));
    ClickOn(dialog, u"btOk");
  });
  EXPECT_TRUE(Run());
  ASSERT_EQ(rec().Errors().size(), 1u);
  EXPECT_EQ(rec().Errors()[0].number, kErrRateLoadFailed);
  EXPECT_TRUE(MessagesOfKind(host::kMessageInformation).empty());
  EXPECT_TRUE(rec().Records(u"REFCurrencyRate").empty());
}

struct Leaving {
  const char* name;
  std::function<void(qt::FormDialog&)> leave;
};

class LoadRateDlgLeavingTest : public LoadRateDlgQtTest,
                               public ::testing::WithParamInterface<Leaving> {};

TEST_P(LoadRateDlgLeavingTest, LeavingWithoutOkLoadsNothing) {
  qt().QueueUser([&](qt::FormDialog& dialog) {
    TypeInto(dialog, u"edLBRateFile", RateFile());
    PickCode(dialog, u"cbLBRateType", QStringLiteral("LB"));
    GetParam().leave(dialog);
  });
  EXPECT_TRUE(Run());
  EXPECT_TRUE(rec().Records(u"REFCurrencyRate").empty());
  EXPECT_TRUE(rec().Messages().empty());
  EXPECT_TRUE(rec().Errors().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, LoadRateDlgLeavingTest,
    ::testing::Values(Leaving{"Cancel", [](qt::FormDialog& d) { ClickOn(d, u"btCancel"); }},
                      Leaving{"Escape", [](qt::FormDialog& d) { PressKey(d, Qt::Key_Escape); }},
                      Leaving{"CloseBox", [](qt::FormDialog& d) { d.close(); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace norv::qttest
