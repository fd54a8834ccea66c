// The VB-like lifecycle of forms: load on first use, modal shows through the
// thread's driver, Hide versus Unload, the close box, design state after unload.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
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

// The number of the ComError the call raises, or 0 when it raises none.
int32_t RaisedNumber(const std::function<void()>& call) {
  try {
    call();
  } catch (const ComError& error) {
    return error.number();
  }
  return 0;
}

class FormLifecycleTest : public ::testing::Test {
 protected:
  testing::ScopedRecordingHost host;
};

TEST_F(FormLifecycleTest, FirstUseOfAnyPropertyLoadsOnceWithAWindowOfItsOwn) {
  SampleDlg dlg, other;
  EXPECT_FALSE(dlg.IsLoaded());
  EXPECT_EQ(dlg.WindowHandle(), 0);
  EXPECT_FALSE(dlg.chOption.Visible());  // a read loads the form
  EXPECT_TRUE(dlg.IsLoaded());
  EXPECT_EQ(dlg.edName.Text(), u"loaded");
  dlg.Load();
  EXPECT_EQ(dlg.loads, 1);
  other.Load();
  const intptr_t before = dlg.WindowHandle();
  EXPECT_NE(before, 0);
  EXPECT_NE(other.WindowHandle(), 0);
  EXPECT_NE(other.WindowHandle(), before);
  dlg.Unload();
  EXPECT_EQ(dlg.WindowHandle(), 0);
  dlg.Load();
  EXPECT_NE(dlg.WindowHandle(), before);
}

// The inner show loads its form and runs the script's handlers while both shows are
// modal; its OK hides it, so the outer handler still reads its values afterwards.
TEST_F(FormLifecycleTest, ModalShowsNestAndHideKeepsValues) {
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
      .ExpectShow(u"InnerDlg", {Type(u"edName", u"vidinis"), Call([&](Form& form) {
                                  const bool inside = outer.InModalShow() && form.InModalShow() &&
                                                      form.IsVisible() && form.IsLoaded();
                                  order.push_back(inside ? u"inner inside outer" : u"inner alone");
                                }),
                                Click(u"btOk")});
  outer.ShowModal();

  EXPECT_EQ(order, (std::vector<std::u16string>{u"outer ok begins", u"inner inside outer",
                                                u"outer ok after inner: vidinis"}));
  EXPECT_EQ(host->Driver().Shown(), (std::vector<std::u16string>{u"OuterDlg", u"InnerDlg"}));
  EXPECT_EQ(inner.log, (std::vector<std::u16string>{u"ok:vidinis"}));
  EXPECT_EQ(std::make_pair(inner.loads, inner.unloads), std::make_pair(1, 0));
  EXPECT_FALSE(inner.IsVisible() || inner.InModalShow() || outer.IsVisible());
  EXPECT_TRUE(host->Driver().Problems().empty());
}

TEST_F(FormLifecycleTest, UnloadRunsHandlerAndBringsBackDesignState) {
  SampleDlg dlg;
  dlg.Unload();  // not loaded: nothing to do
  EXPECT_EQ(dlg.loads + dlg.unloads, 0);
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

TEST_F(FormLifecycleTest, CancelOrCloseBoxDuringModalShowUnloadsAndEndsTheShow) {
  for (const hostkit::UserAction& ending : {Click(u"btCancel"), Close()}) {
    SampleDlg dlg;
    host->Driver().ExpectShow(u"SampleDlg", {Type(u"edName", u"y"), ending});
    dlg.ShowModal();
    EXPECT_EQ(dlg.unloads, 1);
    EXPECT_EQ(dlg.log.back(), u"unload:y");
    EXPECT_FALSE(dlg.IsLoaded());
    EXPECT_FALSE(dlg.InModalShow());
  }
  EXPECT_TRUE(host->Driver().Problems().empty());
}

TEST_F(FormLifecycleTest, ClickFiresOnlyOnEnabledVisibleButtonsAndConnectedHandlers) {
  SampleDlg dlg;
  int cancels = 0, first = 0, second = 0, second_token = 0;
  dlg.btCancel.Clicked().Connect([&] { ++cancels; });
  dlg.btOk.Clicked().Connect([&] {
    ++first;
    dlg.btOk.Clicked().Disconnect(second_token);  // detached by an earlier handler
  });
  second_token = dlg.btOk.Clicked().Connect([&] { ++second; });
  dlg.btOk.SetEnabled(false);
  dlg.btOk.Click();
  dlg.btCancel.SetVisible(false);
  dlg.btCancel.Click();
  EXPECT_EQ(cancels + first, 0);
  dlg.btCancel.SetVisible(true);
  dlg.btCancel.Click();  // unloads, which also brings btOk back enabled
  dlg.btOk.Click();
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 0);
}

TEST_F(FormLifecycleTest, FailedLoadLeavesFormUnloadedAndRaises) {
  SampleDlg dlg;
  dlg.fail_load = true;
  EXPECT_EQ(RaisedNumber([&] { dlg.Load(); }), kErrInvalidCall);
  EXPECT_FALSE(dlg.IsLoaded());
  EXPECT_EQ(dlg.WindowHandle(), 0);
  dlg.fail_load = false;
  EXPECT_EQ(dlg.edName.Text(), u"loaded");
  EXPECT_EQ(dlg.loads, 2);
}

TEST_F(FormLifecycleTest, ModalShowOfAFormAlreadyShownModallyRaises) {
  SampleDlg dlg;
  int number = 0;
  host->Driver().ExpectShow(
      u"SampleDlg", {Call([&](Form& form) { number = RaisedNumber([&] { form.ShowModal(); }); }),
                     Click(u"btOk")});
  dlg.ShowModal();
  EXPECT_EQ(number, 400);
}

TEST(FormWithoutHost, ModalShowRaisesObjectNotSet) {
  ASSERT_FALSE(host::HostLibrary::IsInstalled());
  SampleDlg dlg;
  EXPECT_EQ(RaisedNumber([&] { dlg.ShowModal(); }), kErrObjectNotSet);
  EXPECT_FALSE(dlg.IsVisible());
}

}  // namespace
}  // namespace norv::forms
