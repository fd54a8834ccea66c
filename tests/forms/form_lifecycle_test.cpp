// The VB-like lifecycle of forms: load on first use, modal shows through the
// thread's driver, Hide versus Unload, the close box, design state after unload.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/control.h"
#include "forms/form.h"
#include "host/host_library.h"
#include "runtime/com_error.h"
#include "support/recording_host.h"

namespace norv::forms {
namespace {

using hostkit::Call;
using hostkit::Click;
using hostkit::Close;
using hostkit::Tick;
using hostkit::Type;

// A form that counts its load and unload handlers and logs what its buttons do.
class SampleDlg : public Form {
 public:
  explicit SampleDlg(std::u16string name = u"SampleDlg")
      : Form(std::move(name), u"#4000"),
        lbTitle(AddControl<Label>(u"lbTitle", u"#4001")),
        edName(AddControl<TextBox>(u"edName")),
        chOption(AddControl<CheckBox>(u"chOption", u"Option", false)),
        btOk(AddControl<CommandButton>(u"btOk", u"OK")),
        btCancel(AddControl<CommandButton>(u"btCancel", u"Cancel")) {
    btOk.Clicked().Connect([this] {
      log.push_back(u"ok:" + edName.Text());
      Hide();
    });
    btCancel.Clicked().Connect([this] { Unload(); });
  }

  Label& lbTitle;
  TextBox& edName;
  CheckBox& chOption;
  CommandButton& btOk;
  CommandButton& btCancel;
  int loads = 0;
  int unloads = 0;
  std::u16string load_text = u"loaded";
  bool fail_load = false;
  std::vector<std::u16string> log;

 protected:
  void Form_Load() override {
    ++loads;
    if (fail_load) RaiseRuntime(kErrInvalidCall, u"load refused");
    edName.SetText(load_text);  // uses a control while loading
  }
  void Form_Unload() override {
    ++unloads;
    log.push_back(u"unload:" + edName.Text());
  }
};

class FormLifecycleTest : public ::testing::Test {
 protected:
  testing::ScopedRecordingHost host;
};

TEST_F(FormLifecycleTest, FirstUseOfAnyPropertyLoadsOnce) {
  SampleDlg dlg;
  EXPECT_FALSE(dlg.IsLoaded());
  EXPECT_EQ(dlg.WindowHandle(), 0);
  EXPECT_EQ(dlg.loads, 0);

  EXPECT_FALSE(dlg.chOption.Visible());  // a read loads the form
  EXPECT_TRUE(dlg.IsLoaded());
  EXPECT_EQ(dlg.loads, 1);
  EXPECT_EQ(dlg.edName.Text(), u"loaded");
  dlg.btOk.SetCaption(u"Gerai");
  dlg.Load();
  EXPECT_EQ(dlg.loads, 1);
  EXPECT_NE(dlg.WindowHandle(), 0);
}

TEST_F(FormLifecycleTest, EachLoadedFormHasItsOwnWindowHandle) {
  SampleDlg first, second;
  first.Load();
  second.Load();
  EXPECT_NE(first.WindowHandle(), 0);
  EXPECT_NE(second.WindowHandle(), 0);
  EXPECT_NE(first.WindowHandle(), second.WindowHandle());
  const intptr_t before = first.WindowHandle();
  first.Unload();
  EXPECT_EQ(first.WindowHandle(), 0);
  first.Load();
  EXPECT_NE(first.WindowHandle(), before);
}

TEST_F(FormLifecycleTest, ModalShowRunsHandlersInsideAndHideKeepsValues) {
  SampleDlg dlg;
  bool was_modal_inside = false;
  host->Driver().ExpectShow(u"SampleDlg", {Type(u"edName", u"Jonas"), Call([&](Form& form) {
                                             was_modal_inside =
                                                 form.InModalShow() && form.IsVisible();
                                           }),
                                           Click(u"btOk")});
  dlg.ShowModal();

  EXPECT_TRUE(was_modal_inside);
  EXPECT_EQ(dlg.log, (std::vector<std::u16string>{u"ok:Jonas"}));
  EXPECT_FALSE(dlg.IsVisible());
  EXPECT_FALSE(dlg.InModalShow());
  EXPECT_TRUE(dlg.IsLoaded());
  EXPECT_EQ(dlg.edName.Text(), u"Jonas");  // hidden, not unloaded
  EXPECT_EQ(dlg.unloads, 0);
  EXPECT_TRUE(host->Driver().Problems().empty());
}

TEST_F(FormLifecycleTest, ShowModalLoadsAnUnloadedForm) {
  SampleDlg dlg;
  bool loaded_when_shown = false;
  host->Driver().ExpectShow(
      u"SampleDlg",
      {Call([&](Form& form) { loaded_when_shown = form.IsLoaded(); }), Click(u"btOk")});
  dlg.ShowModal();
  EXPECT_TRUE(loaded_when_shown);
  EXPECT_EQ(dlg.loads, 1);
}

TEST_F(FormLifecycleTest, ModalShowsNest) {
  SampleDlg outer(u"OuterDlg");
  SampleDlg inner(u"InnerDlg");
  std::vector<std::u16string> order;
  outer.btOk.Clicked().Connect([&] {
    order.push_back(u"outer ok begins");
    inner.ShowModal();
    order.push_back(u"outer ok after inner: " + inner.edName.Text());
  });
  host->Driver()
      .ExpectShow(u"OuterDlg", {Click(u"btOk")})
      .ExpectShow(u"InnerDlg",
                  {Type(u"edName", u"vidinis"), Call([&](Form&) {
                     order.push_back(outer.InModalShow() ? u"inner inside outer" : u"inner alone");
                   }),
                   Click(u"btOk")});
  outer.ShowModal();

  EXPECT_EQ(order, (std::vector<std::u16string>{u"outer ok begins", u"inner inside outer",
                                                u"outer ok after inner: vidinis"}));
  EXPECT_EQ(host->Driver().Shown(), (std::vector<std::u16string>{u"OuterDlg", u"InnerDlg"}));
  EXPECT_FALSE(outer.IsVisible());
  EXPECT_TRUE(host->Driver().Problems().empty());
}

TEST_F(FormLifecycleTest, UnloadRunsHandlerAndBringsBackDesignState) {
  SampleDlg dlg;
  dlg.edName.SetText(u"pakeista");
  dlg.chOption.SetVisible(true);
  dlg.chOption.SetValue(1);
  dlg.btOk.SetEnabled(false);
  dlg.lbTitle.SetCaption(u"Antraštė");
  dlg.SetCaption(u"Langas");

  dlg.Unload();
  EXPECT_EQ(dlg.unloads, 1);
  EXPECT_EQ(dlg.log.back(), u"unload:pakeista");  // Form_Unload still sees the values
  EXPECT_FALSE(dlg.IsLoaded());

  dlg.load_text = u"";
  EXPECT_EQ(dlg.edName.Text(), u"");  // loads again, with design values
  EXPECT_EQ(dlg.loads, 2);
  EXPECT_FALSE(dlg.chOption.Visible());
  EXPECT_EQ(dlg.chOption.Value(), 0);
  EXPECT_TRUE(dlg.btOk.Enabled());
  EXPECT_EQ(dlg.lbTitle.Caption(), u"#4001");
  EXPECT_EQ(dlg.Caption(), u"#4000");
}

TEST_F(FormLifecycleTest, UnloadOfAFormThatIsNotLoadedDoesNothing) {
  SampleDlg dlg;
  dlg.Unload();
  EXPECT_EQ(dlg.unloads, 0);
  EXPECT_EQ(dlg.loads, 0);
}

TEST_F(FormLifecycleTest, UnloadDuringModalShowEndsTheShow) {
  SampleDlg dlg;
  host->Driver().ExpectShow(u"SampleDlg", {Type(u"edName", u"x"), Click(u"btCancel")});
  dlg.ShowModal();
  EXPECT_EQ(dlg.unloads, 1);
  EXPECT_FALSE(dlg.IsLoaded());
  EXPECT_FALSE(dlg.InModalShow());
  EXPECT_TRUE(host->Driver().Problems().empty());
}

TEST_F(FormLifecycleTest, CloseBoxUnloads) {
  SampleDlg dlg;
  host->Driver().ExpectShow(u"SampleDlg", {Tick(u"chOption", 1), Type(u"edName", u"y"), Close()});
  dlg.ShowModal();
  EXPECT_EQ(dlg.unloads, 1);
  EXPECT_FALSE(dlg.IsLoaded());
  EXPECT_TRUE(dlg.log.back() == u"unload:y");
}

TEST_F(FormLifecycleTest, ClickFiresOnlyOnEnabledVisibleButtons) {
  SampleDlg dlg;
  int clicks = 0;
  dlg.btCancel.Clicked().Connect([&] { ++clicks; });
  dlg.btOk.SetEnabled(false);
  dlg.btOk.Click();
  dlg.btCancel.SetVisible(false);
  dlg.btCancel.Click();
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(dlg.log.empty());

  dlg.btCancel.SetVisible(true);
  dlg.btCancel.Click();
  EXPECT_EQ(clicks, 1);
}

TEST_F(FormLifecycleTest, DisconnectedHandlerIsNotCalled) {
  SampleDlg dlg;
  int first = 0, second = 0;
  int second_token = 0;
  dlg.btOk.Clicked().Connect([&] {
    ++first;
    dlg.btOk.Clicked().Disconnect(second_token);  // detached by an earlier handler
  });
  second_token = dlg.btOk.Clicked().Connect([&] { ++second; });
  dlg.btOk.Click();
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 0);
}

TEST_F(FormLifecycleTest, FailedLoadLeavesFormUnloadedAndRaises) {
  SampleDlg dlg;
  dlg.fail_load = true;
  try {
    dlg.Load();
    FAIL() << "Form_Load's error did not reach the caller";
  } catch (const ComError& error) {
    EXPECT_EQ(error.number(), kErrInvalidCall);
  }
  EXPECT_FALSE(dlg.IsLoaded());
  EXPECT_EQ(dlg.WindowHandle(), 0);
  dlg.fail_load = false;
  EXPECT_EQ(dlg.edName.Text(), u"loaded");
  EXPECT_EQ(dlg.loads, 2);
}

TEST_F(FormLifecycleTest, ModalShowOfAFormAlreadyShownModallyRaises) {
  SampleDlg dlg;
  int number = 0;
  host->Driver().ExpectShow(u"SampleDlg", {Call([&](Form& form) {
                                             try {
                                               form.ShowModal();
                                             } catch (const ComError& error) {
                                               number = error.number();
                                             }
                                           }),
                                           Click(u"btOk")});
  dlg.ShowModal();
  EXPECT_EQ(number, 400);
}

TEST(FormWithoutHost, ModalShowRaisesObjectNotSet) {
  ASSERT_FALSE(host::HostLibrary::IsInstalled());
  SampleDlg dlg;
  try {
    dlg.ShowModal();
    FAIL() << "a modal show without a host library went through";
  } catch (const ComError& error) {
    EXPECT_EQ(error.number(), kErrObjectNotSet);
  }
  EXPECT_FALSE(dlg.IsVisible());
}

}  // namespace
}  // namespace norv::forms
