// The Qt forms driver on a form of its own: layout from the design order, the
// two-way binding, the keys, the close box, nested shows and failing handlers.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
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

using namespace forms;  // NOLINT: the controls

class SampleForm : public Form {
 public:
  SampleForm()
      : Form(u"SampleDlg", u"#4000"),
        Frame1(AddControl<Frame>(u"Frame1", u"#4001")),
        Label1(AddControl<Label>(u"Label1", u"Čekių supirkimo : ")),
        edPath(AddControl<TextBox>(u"edPath")),
        btBrowse(AddControl<CommandButton>(u"btBrowse", u"Books")),
        edBare(AddControl<TextBox>(u"edBare")),
        cbType(AddControl<HostCombo>(u"cbType", u"REFRateType")),
        chOption(AddControl<CheckBox>(u"chOption", u"#4026", false)),
        btOk(AddControl<CommandButton>(u"btOk", u"OK")),
        btCancel(AddControl<CommandButton>(u"btCancel", u"Cancel")) {
    btOk.Clicked().Connect([this] {
      ++ok_clicks;
      if (on_ok) return on_ok();
      Hide();
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
  HostCombo& cbType;
  CheckBox& chOption;
  CommandButton& btOk;
  CommandButton& btCancel;
  int ok_clicks = 0, cancel_clicks = 0, unloads = 0;
  bool fail_browse = false;
  std::function<void()> on_ok;

 protected:
  void Form_Load() override { host::HostLibrary::Current().Resources().LocalizeForm(*this); }
  void Form_Unload() override { ++unloads; }
};

class FormDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    rec().AddRecord(u"REFRateType", {{u"Code", u"LB"}, {u"Name", u"Lietuvos bankas"}});
    rec().AddRecord(u"REFRateType", {{u"Code", u"GR"}, {u"Name", u"Grynųjų kursas"}});
  }
  QWidget* W(qt::FormDialog& dialog, const char16_t* name) { return dialog.WidgetFor(name); }

  SampleForm form_;
};

TEST_F(FormDialogTest, LaysOutTheControlsInDesignOrder) {
  qt().QueueUser([&](qt::FormDialog& d) {
    EXPECT_EQ(d.windowTitle(), Q(rec().Text(4000)));
    auto* frame = qobject_cast<QGroupBox*>(W(d, u"Frame1"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), Q(rec().Text(4001)));
    // The field rows after a frame stand in it; the check box does not.
    for (const char16_t* name : {u"Label1", u"edPath", u"btBrowse", u"edBare", u"cbType"}) {
      EXPECT_EQ(W(d, name)->parentWidget(), frame) << QString::fromUtf16(name).toStdString();
    }
    EXPECT_EQ(W(d, u"chOption")->parentWidget(), &d);
    EXPECT_FALSE(W(d, u"chOption")->isVisible());  // hidden by design
    EXPECT_EQ(qobject_cast<QLabel*>(W(d, u"Label1"))->text(), u"Čekių supirkimo : ");
    // The host combo: nothing chosen first, then the book's entries with code and name.
    auto* combo = qobject_cast<QComboBox*>(W(d, u"cbType"));
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0) + u'|' + combo->itemText(1) + u'|' + combo->itemText(2),
              u"|GR  Grynųjų kursas|LB  Lietuvos bankas");
    // A label to the left of its field, a browse button to the right, OK and Cancel below.
    EXPECT_LT(W(d, u"Label1")->x(), W(d, u"edPath")->x());
    EXPECT_LT(W(d, u"edPath")->x(), W(d, u"btBrowse")->x());
    EXPECT_LT(W(d, u"edPath")->y(), W(d, u"cbType")->y());
    EXPECT_GT(W(d, u"btOk")->mapTo(&d, QPoint()).y(), frame->geometry().bottom());
    EXPECT_EQ(d.DefaultButton(), d.WidgetFor(u"btOk"));
    EXPECT_EQ(d.CancelButton(), d.WidgetFor(u"btCancel"));
    // Nothing is cut off: every caption has the room it asks for.
    for (QWidget* widget : d.findChildren<QWidget*>()) {
      if (widget->isVisible() &&
          (qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget))) {
        EXPECT_GE(widget->width(), widget->minimumSizeHint().width())
            << widget->objectName().toStdString();
      }
    }
    // The form's font when the machine has it, otherwise the system's sans-serif.
    const bool has_tahoma = QFontDatabase::families().contains(u"Tahoma", Qt::CaseInsensitive);
    EXPECT_EQ(d.font().family(),
              has_tahoma ? QStringLiteral("Tahoma")
                         : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    SaveScreenshot(d, QStringLiteral("SampleDlg"));
    ClickOn(d, u"btCancel");
  });
  form_.ShowModal();
  EXPECT_EQ(form_.cancel_clicks, 1);
}

TEST_F(FormDialogTest, TabFollowsTheDesignAndEditsAndHandlersGoBothWays) {
  qt().QueueUser([&](qt::FormDialog& d) {
    QApplication::setActiveWindow(&d);
    W(d, u"edPath")->setFocus();
    QStringList order;
    for (int i = 0; i < 6; ++i) {
      order.push_back(QApplication::focusWidget()->objectName());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order.join(u' '), QStringLiteral("edPath btBrowse edBare cbType btOk btCancel"));
    TypeInto(d, u"edBare", QStringLiteral("Ąžuolų gatvė 5"));
    EXPECT_EQ(form_.edBare.Text(), u"Ąžuolų gatvė 5");
    ClickOn(d, u"btBrowse");  // the handler sets the box
    EXPECT_EQ(TextOf(d, u"edPath"), u"C:\\Išrašai\\");
    form_.chOption.SetVisible(true);
    EXPECT_TRUE(W(d, u"chOption")->isVisible());
    EXPECT_EQ(qobject_cast<QCheckBox*>(W(d, u"chOption"))->text(), Q(rec().Text(4026)));
    Toggle(d, u"chOption");
    EXPECT_EQ(form_.chOption.Value(), 1);
    PickCode(d, u"cbType", QStringLiteral("GR"));
    EXPECT_EQ(form_.cbType.SelectedCode(), u"GR");
    form_.cbType.SetSelectedCode(u"LB");
    EXPECT_EQ(TextOf(d, u"cbType"), u"LB");
    PressKey(d, Qt::Key_Return);
  });
  form_.ShowModal();
  EXPECT_EQ(form_.ok_clicks, 1);
  EXPECT_FALSE(form_.IsVisible());
  EXPECT_EQ(form_.edPath.Text(), u"C:\\Išrašai\\");
}

// Enter in a box presses OK, Escape presses Cancel, the close box unloads.
TEST_F(FormDialogTest, EndsTheModalShowAsTheUserChose) {
  using End = std::tuple<User, int, int, int>;  // the user; OK, Cancel clicks; unloads
  for (const auto& [user, ok, cancel, unloads] :
       {End{[](qt::FormDialog& d) {
              d.WidgetFor(u"edBare")->setFocus();
              QTest::keyClick(d.WidgetFor(u"edBare"), Qt::Key_Return);
            },
            1, 0, 0},
        End{[](qt::FormDialog& d) { PressKey(d, Qt::Key_Escape); }, 1, 1, 0},
        End{[](qt::FormDialog& d) { d.close(); }, 1, 1, 1}}) {
    qt().QueueUser(user);
    form_.ShowModal();
    EXPECT_FALSE(form_.IsVisible());
    EXPECT_EQ(std::tuple(form_.ok_clicks, form_.cancel_clicks, form_.unloads),
              std::tuple(ok, cancel, unloads));
    EXPECT_EQ(form_.IsLoaded(), unloads == 0);
    EXPECT_EQ(qt().driver().ActiveDialog(), nullptr);
  }
}

TEST_F(FormDialogTest, AHandlerFailureLeavesTheShowToItsCaller) {
  form_.fail_browse = true;
  qt().QueueUser([&](qt::FormDialog& d) { ClickOn(d, u"btBrowse"); });
  EXPECT_THROW(form_.ShowModal(), ComError);
  EXPECT_FALSE(form_.IsVisible());
  EXPECT_EQ(qt().driver().ActiveDialog(), nullptr);
}

TEST_F(FormDialogTest, AFormShownFromAHandlerNestsItsOwnLoop) {
  SampleForm inner;
  form_.on_ok = [&] { inner.ShowModal(); };  // the outer form stays up
  qt().QueueUser([&](qt::FormDialog& outer) {
    ClickOn(outer, u"btOk");
    EXPECT_TRUE(outer.isVisible());
    EXPECT_FALSE(inner.IsVisible());
    EXPECT_EQ(qt().driver().ActiveDialog(), &outer);
    ClickOn(outer, u"btCancel");
  });
  qt().QueueUser([&](qt::FormDialog& d) {
    EXPECT_EQ(&d.form(), &inner);
    EXPECT_TRUE(form_.IsVisible());
    TypeInto(d, u"edBare", QStringLiteral("vidinė"));
    ClickOn(d, u"btOk");
  });
  form_.ShowModal();
  EXPECT_EQ(inner.edBare.Text(), u"vidinė");
  EXPECT_EQ(inner.ok_clicks, 1);
  EXPECT_EQ(form_.cancel_clicks, 1);
}

}  // namespace
}  // namespace norv::qttest
