// The Qt forms driver on a form of its own: layout from the design order, the
// two-way binding, the keys, the close box, nested shows and failing handlers.
#include <QApplication>
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

// OK and Cancel log their clicks and hide the form; the browse button fills edPath.
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
        chOption(AddControl<CheckBox>(u"chOption", u"#4026", false)) {
    AddControl<CommandButton>(u"btOk", u"OK").Clicked().Connect([this] {
      log += u"ok ";
      on_ok ? on_ok() : Hide();
    });
    AddControl<CommandButton>(u"btCancel", u"Cancel").Clicked().Connect([this] {
      log += u"cancel ";
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
  std::u16string log;
  int unloads = 0;
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
  SampleForm form_;
};

TEST_F(FormDialogTest, LaysOutTheDesignAndBindsBothWays) {
  qt().QueueUser([&](qt::FormDialog& d) {
    auto W = [&](const char16_t* name) { return d.WidgetFor(name); };
    auto* frame = qobject_cast<QGroupBox*>(W(u"Frame1"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(d.windowTitle() + u'|' + frame->title(),
              Q(rec().Text(4000) + u"|" + rec().Text(4001)));
    // The field rows after a frame stand in it; the check box (hidden by design) does not.
    for (const char16_t* name : {u"Label1", u"edPath", u"btBrowse", u"edBare", u"cbType"}) {
      EXPECT_EQ(W(name)->parentWidget(), frame) << QString::fromUtf16(name).toStdString();
    }
    EXPECT_EQ(W(u"chOption")->parentWidget(), &d);
    EXPECT_FALSE(W(u"chOption")->isVisible());
    EXPECT_EQ(qobject_cast<QLabel*>(W(u"Label1"))->text(), u"Čekių supirkimo : ");
    // The host combo: nothing chosen first, then the book's entries with code and name.
    auto* combo = qobject_cast<QComboBox*>(W(u"cbType"));
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0) + u'|' + combo->itemText(1) + u'|' + combo->itemText(2),
              u"|GR  Grynųjų kursas|LB  Lietuvos bankas");
    // A label to the left of its field, a browse button to the right, OK and Cancel below.
    EXPECT_TRUE(W(u"Label1")->x() < W(u"edPath")->x() && W(u"edPath")->x() < W(u"btBrowse")->x());
    EXPECT_LT(W(u"edPath")->y(), W(u"cbType")->y());
    EXPECT_GT(W(u"btOk")->mapTo(&d, QPoint()).y(), frame->geometry().bottom());
    EXPECT_TRUE(d.DefaultButton() == W(u"btOk") && d.CancelButton() == W(u"btCancel"));
    for (QWidget* widget : d.findChildren<QWidget*>()) {  // every caption has its room
      const bool captioned = qobject_cast<QLabel*>(widget) || qobject_cast<QPushButton*>(widget);
      EXPECT_TRUE(!widget->isVisible() || !captioned ||
                  widget->width() >= widget->minimumSizeHint().width());
    }
    // The form's font when the machine has it, otherwise the system's sans-serif.
    EXPECT_EQ(d.font().family(),
              QFontDatabase::families().contains(u"Tahoma", Qt::CaseInsensitive)
                  ? QStringLiteral("Tahoma")
                  : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    SaveScreenshot(d, QStringLiteral("SampleDlg"));
    QApplication::setActiveWindow(&d);
    W(u"edPath")->setFocus();
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
    EXPECT_TRUE(W(u"chOption")->isVisible());
    EXPECT_EQ(TextOf(d, u"chOption"), Q(rec().Text(4026)));
    Toggle(d, u"chOption");
    EXPECT_EQ(form_.chOption.Value(), 1);
    PickCode(d, u"cbType", QStringLiteral("GR"));
    EXPECT_EQ(form_.cbType.SelectedCode(), u"GR");
    form_.cbType.SetSelectedCode(u"LB");
    EXPECT_EQ(TextOf(d, u"cbType"), u"LB");
    PressKey(d, Qt::Key_Return);
  });
  form_.ShowModal();
  EXPECT_EQ(form_.log, u"ok ");
  EXPECT_EQ(form_.edPath.Text(), u"C:\\Išrašai\\");
}

// Enter in a box presses OK, Escape presses Cancel, the close box unloads; a
// failing handler ends the show and its error reaches the caller.
TEST_F(FormDialogTest, EndsTheModalShowAsTheUserChose) {
  const std::pair<User, const char16_t*> ends[] = {
      {[](qt::FormDialog& d) { QTest::keyClick(d.WidgetFor(u"edBare"), Qt::Key_Return); }, u"ok "},
      {[](qt::FormDialog& d) { PressKey(d, Qt::Key_Escape); }, u"ok cancel "},
      {[](qt::FormDialog& d) { d.close(); }, u"ok cancel "}};
  for (const auto& [user, log] : ends) {
    qt().QueueUser(user);
    form_.ShowModal();
    EXPECT_EQ(form_.log, log);
    EXPECT_EQ(form_.IsLoaded(), form_.unloads == 0);
  }
  EXPECT_EQ(form_.unloads, 1);
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
    EXPECT_TRUE(outer.isVisible() && !inner.IsVisible());
    EXPECT_EQ(qt().driver().ActiveDialog(), &outer);
    ClickOn(outer, u"btCancel");
  });
  qt().QueueUser([&](qt::FormDialog& d) {
    EXPECT_TRUE(&d.form() == &inner && form_.IsVisible());
    TypeInto(d, u"edBare", QStringLiteral("vidinė"));
    ClickOn(d, u"btOk");
  });
  form_.ShowModal();
  EXPECT_EQ(inner.edBare.Text() + inner.log + form_.log, u"vidinėok ok cancel ");
}

}  // namespace
}  // namespace norv::qttest
