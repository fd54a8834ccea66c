// The Qt forms driver on a form of its own: layout from the design order, the
// two-way binding, the keys, the close box, nested shows and failing handlers.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "forms/control.h"
#include "forms/form.h"
#include "host/host_library.h"
#include "qt_test_host.h"
#include "runtime/com_error.h"

namespace norv::qttest {
namespace {

using forms::CheckBox;
using forms::CommandButton;
using forms::Frame;
using forms::HostCombo;
using forms::Label;
using forms::TextBox;

class SampleForm : public forms::Form {
 public:
  SampleForm()
      : Form(u"SampleDlg", u"#4000"),
        Frame1(AddControl<Frame>(u"Frame1", u"#4001")),
        Label1(AddControl<Label>(u"Label1", u"Kelias : ")),
        edPath(AddControl<TextBox>(u"edPath")),
        btBrowse(AddControl<CommandButton>(u"btBrowse", u"Books")),
        edBare(AddControl<TextBox>(u"edBare")),
        Label2(AddControl<Label>(u"Label2", u"Čekių supirkimo : ")),
        cbType(AddControl<HostCombo>(u"cbType", u"REFRateType")),
        chOption(AddControl<CheckBox>(u"chOption", u"#4026", false)),
        lbStatus(AddControl<Label>(u"lbStatus", u"")),
        btOk(AddControl<CommandButton>(u"btOk", u"OK")),
        btCancel(AddControl<CommandButton>(u"btCancel", u"Cancel")) {
    btOk.Clicked().Connect([this] {
      ++ok_clicks;
      if (refuse_ok) {
        lbStatus.SetCaption(u"Pasirinkite kurso tipą");
      } else {
        Hide();
      }
      if (on_ok) on_ok();
    });
    btCancel.Clicked().Connect([this] {
      ++cancel_clicks;
      Hide();
    });
    btBrowse.Clicked().Connect([this] {
      if (fail_browse) throw ComError(76, u"SampleDlg::btBrowse_Click", u"Path not found");
      edPath.SetText(u"C:\\Išrašai\\");
    });
  }

  Frame& Frame1;
  Label& Label1;
  TextBox& edPath;
  CommandButton& btBrowse;
  TextBox& edBare;
  Label& Label2;
  HostCombo& cbType;
  CheckBox& chOption;
  Label& lbStatus;
  CommandButton& btOk;
  CommandButton& btCancel;

  int loads = 0, unloads = 0, ok_clicks = 0, cancel_clicks = 0;
  bool refuse_ok = false;
  bool fail_browse = false;
  std::function<void()> on_ok;

 protected:
  void Form_Load() override {
    ++loads;
    host::HostLibrary::Current().Resources().LocalizeForm(*this);
  }
  void Form_Unload() override { ++unloads; }
};

class FormDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    rec().AddRecord(u"REFRateType", {{u"Code", u"LB"}, {u"Name", u"Lietuvos bankas"}});
    rec().AddRecord(u"REFRateType", {{u"Code", u"GR"}, {u"Name", u"Grynųjų kursas"}});
  }

  SampleForm form_;
};

TEST_F(FormDialogTest, LaysOutTheControlsInDesignOrder) {
  qt().QueueUser([&](qt::FormDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QString::fromStdU16String(rec().Text(4000)));
    auto* frame = qobject_cast<QGroupBox*>(dialog.WidgetFor(u"Frame1"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), QString::fromStdU16String(rec().Text(4001)));
    // The field rows after a frame stand in it; the check box and the status line do not.
    for (const char16_t* name :
         {u"Label1", u"edPath", u"btBrowse", u"edBare", u"Label2", u"cbType"}) {
      EXPECT_EQ(dialog.WidgetFor(name)->parentWidget(), frame)
          << QString::fromUtf16(name).toStdString();
    }
    EXPECT_EQ(dialog.WidgetFor(u"chOption")->parentWidget(), &dialog);
    EXPECT_EQ(dialog.WidgetFor(u"lbStatus")->parentWidget(), &dialog);
    EXPECT_FALSE(dialog.WidgetFor(u"chOption")->isVisible());  // hidden by design
    EXPECT_EQ(qobject_cast<QLabel*>(dialog.WidgetFor(u"Label2"))->text(), u"Čekių supirkimo : ");
    // The host combo: nothing chosen first, then the book's entries with code and name.
    auto* combo = qobject_cast<QComboBox*>(dialog.WidgetFor(u"cbType"));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QString());
    EXPECT_EQ(combo->itemText(2), u"LB  Lietuvos bankas");
    EXPECT_EQ(combo->itemText(1), u"GR  Grynųjų kursas");
    // A label stands to the left of its field, a browse button to the right.
    EXPECT_LT(dialog.WidgetFor(u"Label1")->x(), dialog.WidgetFor(u"edPath")->x());
    EXPECT_LT(dialog.WidgetFor(u"edPath")->x(), dialog.WidgetFor(u"btBrowse")->x());
    EXPECT_LT(dialog.WidgetFor(u"edPath")->y(), dialog.WidgetFor(u"cbType")->y());
    // OK and Cancel at the bottom; OK is the default button, Cancel answers Escape.
    EXPECT_GT(dialog.WidgetFor(u"btOk")->mapTo(&dialog, QPoint()).y(), frame->geometry().bottom());
    EXPECT_EQ(dialog.DefaultButton(), dialog.WidgetFor(u"btOk"));
    EXPECT_EQ(dialog.CancelButton(), dialog.WidgetFor(u"btCancel"));
    // Nothing is cut off: every caption has the room it asks for.
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
      if (!widget->isVisible()) continue;
      if (qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget)) {
        EXPECT_GE(widget->width(), widget->minimumSizeHint().width())
            << widget->objectName().toStdString();
      }
    }
    // The form's font when the machine has it, otherwise the system's sans-serif.
    const bool has_tahoma = QFontDatabase::families().contains(u"Tahoma", Qt::CaseInsensitive);
    EXPECT_EQ(dialog.font().family(),
              has_tahoma ? QStringLiteral("Tahoma")
                         : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    SaveScreenshot(dialog, QStringLiteral("SampleDlg"));
    ClickOn(dialog, u"btCancel");
  });
  form_.ShowModal();
  EXPECT_EQ(form_.cancel_clicks, 1);
}

TEST_F(FormDialogTest, TabMovesThroughTheControlsInDesignOrder) {
  qt().QueueUser([&](qt::FormDialog& dialog) {
    QApplication::setActiveWindow(&dialog);
    dialog.WidgetFor(u"edPath")->setFocus();
    QStringList order;
    for (int i = 0; i < 6; ++i) {
      order.push_back(QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                                  : QString());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order.join(u' '), QStringLiteral("edPath btBrowse edBare cbType btOk btCancel"));
    ClickOn(dialog, u"btCancel");
  });
  form_.ShowModal();
}

TEST_F(FormDialogTest, UserEditsReachTheControlsAndHandlersReachTheWidgets) {
  qt().QueueUser([&](qt::FormDialog& dialog) {
    TypeInto(dialog, u"edBare", QStringLiteral("Ąžuolų gatvė 5"));
    EXPECT_EQ(form_.edBare.Text(), u"Ąžuolų gatvė 5");
    ClickOn(dialog, u"btBrowse");  // the handler sets the box
    EXPECT_EQ(TextOf(dialog, u"edPath"), u"C:\\Išrašai\\");
    form_.chOption.SetVisible(true);
    EXPECT_TRUE(dialog.WidgetFor(u"chOption")->isVisible());
    EXPECT_EQ(qobject_cast<QCheckBox*>(dialog.WidgetFor(u"chOption"))->text(),
              QString::fromStdU16String(rec().Text(4026)));
    Toggle(dialog, u"chOption");
    EXPECT_EQ(form_.chOption.Value(), 1);
    PickCode(dialog, u"cbType", QStringLiteral("GR"));
    EXPECT_EQ(form_.cbType.SelectedCode(), u"GR");
    form_.cbType.SetSelectedCode(u"LB");
    EXPECT_EQ(TextOf(dialog, u"cbType"), u"LB");
    PressKey(dialog, Qt::Key_Return);
  });
  form_.ShowModal();
  EXPECT_EQ(form_.ok_clicks, 1);
  EXPECT_FALSE(form_.IsVisible());
  EXPECT_EQ(form_.edPath.Text(), u"C:\\Išrašai\\");
  EXPECT_EQ(form_.cbType.SelectedCode(), u"LB");
}

struct Ending {
  const char* name;
  std::function<void(qt::FormDialog&)> act;
  int ok_clicks, cancel_clicks, unloads;
  bool loaded_after;
};

class FormDialogEndingTest : public FormDialogTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(FormDialogEndingTest, EndsTheModalShowAsTheUserChose) {
  qt().QueueUser(GetParam().act);
  form_.ShowModal();
  EXPECT_FALSE(form_.IsVisible());
  EXPECT_EQ(form_.ok_clicks, GetParam().ok_clicks);
  EXPECT_EQ(form_.cancel_clicks, GetParam().cancel_clicks);
  EXPECT_EQ(form_.unloads, GetParam().unloads);
  EXPECT_EQ(form_.IsLoaded(), GetParam().loaded_after);
  EXPECT_EQ(qt().driver().ActiveDialog(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, FormDialogEndingTest,
    ::testing::Values(Ending{"EnterInABox",
                             [](qt::FormDialog& d) {
                               d.WidgetFor(u"edBare")->setFocus();
                               QTest::keyClick(d.WidgetFor(u"edBare"), Qt::Key_Return);
                             },
                             1, 0, 0, true},
                      Ending{"Escape", [](qt::FormDialog& d) { PressKey(d, Qt::Key_Escape); }, 0, 1,
                             0, true},
                      Ending{"CloseBox", [](qt::FormDialog& d) { d.close(); }, 0, 0, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormDialogTest, AHandlerFailureLeavesTheShowToItsCaller) {
  form_.fail_browse = true;
  qt().QueueUser([&](qt::FormDialog& dialog) { ClickOn(dialog, u"btBrowse"); });
  try {
    form_.ShowModal();
    ADD_FAILURE() << "the handler's error did not come out of the show";
  } catch (const ComError& error) {
    EXPECT_EQ(error.number(), 76);
    EXPECT_EQ(error.source(), u"SampleDlg::btBrowse_Click");
  }
  EXPECT_FALSE(form_.IsVisible());
  EXPECT_EQ(qt().driver().ActiveDialog(), nullptr);
}

TEST_F(FormDialogTest, AFormShownFromAHandlerNestsItsOwnLoop) {
  SampleForm inner;
  form_.on_ok = [&] { inner.ShowModal(); };
  form_.refuse_ok = true;  // the outer form stays up while the inner one runs
  qt().QueueUser([&](qt::FormDialog& outer) {
    ClickOn(outer, u"btOk");
    EXPECT_TRUE(outer.isVisible());  // refused: the status shows and the dialog stays
    EXPECT_EQ(TextOf(outer, u"lbStatus"), u"Pasirinkite kurso tipą");
    EXPECT_FALSE(inner.IsVisible());
    EXPECT_EQ(qt().driver().ActiveDialog(), &outer);
    ClickOn(outer, u"btCancel");
  });
  qt().QueueUser([&](qt::FormDialog& dialog) {
    EXPECT_EQ(&dialog.form(), &inner);
    EXPECT_TRUE(form_.IsVisible());
    TypeInto(dialog, u"edBare", QStringLiteral("vidinė"));
    ClickOn(dialog, u"btOk");
  });
  form_.ShowModal();
  EXPECT_EQ(inner.edBare.Text(), u"vidinė");
  EXPECT_EQ(inner.ok_clicks, 1);
  EXPECT_EQ(form_.cancel_clicks, 1);
}

}  // namespace
}  // namespace norv::qttest
