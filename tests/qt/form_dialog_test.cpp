// The Qt forms driver on a small form of its own: the keys and the close box
// that end a show, a failing handler and a show nested in a handler. The
// layout, the binding and the captions are the component dialogs' smoke tests'.
#include <QTest>

#include <gtest/gtest.h>

#include "forms/control.h"
#include "forms/form.h"
#include "qt_test_host.h"
#include "runtime/com_error.h"

namespace norv::qttest {
namespace {

using namespace forms;  // NOLINT: the controls

// OK and Cancel log their clicks and hide the form (OK runs `on_ok` instead when
// set); btFail's handler fails.
class SampleForm : public Form {
 public:
  SampleForm()
      : Form(u"SampleDlg", u"Pavyzdys"),
        edName(AddControl<TextBox>(u"edName")),
        cbType(AddControl<HostCombo>(u"cbType", u"REFRateType")) {
    AddControl<CommandButton>(u"btFail", u"...").Clicked().Connect([] {
      throw ComError(76, u"SampleDlg::btFail_Click", u"Path not found");
    });
    AddControl<CommandButton>(u"btOk", u"OK").Clicked().Connect([this] {
      log += u"ok ";
      on_ok ? on_ok() : Hide();
    });
    AddControl<CommandButton>(u"btCancel", u"Cancel").Clicked().Connect([this] {
      log += u"cancel ";
      Hide();
    });
  }
  TextBox& edName;
  HostCombo& cbType;
  std::u16string log;
  std::function<void()> on_ok;
};

// A choice made in code shows; Enter in a box presses OK, Escape presses Cancel,
// the close box unloads; a failing handler ends the show and its error reaches
// the caller.
TEST_F(ScreenTest, TheUserEndsTheShowAndAFailingHandlerEndsItToo) {
  SampleForm form;
  const std::pair<User, const char16_t*> ends[] = {
      {[&](qt::FormDialog& d) {
         form.cbType.SetSelectedCode(u"GR");  // a choice made in code shows
         EXPECT_EQ(TextOf(d, u"cbType"), u"GR");
         QTest::keyClick(d.WidgetFor(u"edName"), Qt::Key_Return);
       },
       u"ok "},
      {[](qt::FormDialog& d) { PressKey(d, Qt::Key_Escape); }, u"ok cancel "},
      {[](qt::FormDialog& d) { d.close(); }, u"ok cancel "}};
  for (const auto& [user, log] : ends) {
    user_.QueueUser(user);
    form.ShowModal();
    EXPECT_EQ(form.log, log);
    EXPECT_FALSE(form.IsVisible());
  }
  EXPECT_FALSE(form.IsLoaded());  // the close box unloaded it
  user_.QueueUser([&](qt::FormDialog& d) { ClickOn(d, u"btFail"); });
  EXPECT_THROW(form.ShowModal(), ComError);
  EXPECT_TRUE(!form.IsVisible() && ui_->driver().ActiveDialog() == nullptr);
}

TEST_F(ScreenTest, AFormShownFromAHandlerNestsItsOwnLoop) {
  SampleForm outer, inner;
  outer.on_ok = [&] { inner.ShowModal(); };  // the outer form stays up
  user_.QueueUser([&](qt::FormDialog& d) {
    ClickOn(d, u"btOk");
    EXPECT_TRUE(d.isVisible() && !inner.IsVisible() && ui_->driver().ActiveDialog() == &d);
    ClickOn(d, u"btCancel");
  });
  user_.QueueUser([&](qt::FormDialog& d) {
    EXPECT_TRUE(&d.form() == &inner && outer.IsVisible());
    TypeInto(d, u"edName", QStringLiteral("vidinė"));
    ClickOn(d, u"btOk");
  });
  outer.ShowModal();
  EXPECT_EQ(inner.edName.Text() + inner.log + outer.log, u"vidinėok ok cancel ");
}

}  // namespace
}  // namespace norv::qttest
