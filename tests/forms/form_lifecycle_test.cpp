// The VB-like lifecycle of forms (load on first use, modal shows through the
// thread's driver, Hide versus Unload, the close box, design state after
// unload), the scripted driver that never hangs a run, and the host's OK/Cancel
// dialog frame.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "forms/control.h"
#include "forms/form.h"
#include "host/dialog_form.h"
#include "host/host_library.h"
#include "host/message_window.h"
#include "runtime/com_error.h"
#include "runtime/text.h"
#include "support/recording_host.h"

namespace norv::forms {
namespace {

using namespace hostkit;  // NOLINT: the user's actions

// A form that counts its loads and unloads and logs what its buttons do.
class SampleDlg : public Form {
 public:
  explicit SampleDlg(std::u16string name = u"SampleDlg", bool handlers = true)
      : Form(std::move(name), u"#4000"),
        lbTitle(AddControl<Label>(u"lbTitle", u"#4001")),
        edName(AddControl<TextBox>(u"edName")),
        chOption(AddControl<CheckBox>(u"chOption", u"Option", false)),
        cbType(AddControl<HostCombo>(u"cbType", u"REFRateType")),
        btOk(AddControl<CommandButton>(u"btOk", u"OK")),
        btCancel(AddControl<CommandButton>(u"btCancel", u"Cancel")) {
    if (!handlers) return;
    btOk.Clicked().Connect([this] {
      log += u"ok:" + edName.Text() + u"/" + IntToText(chOption.Value()) + cbType.SelectedCode();
      Hide();
    });
    btCancel.Clicked().Connect([this] { Unload(); });
  }

  Label& lbTitle;
  TextBox& edName;
  CheckBox& chOption;
  HostCombo& cbType;
  CommandButton& btOk;
  CommandButton& btCancel;
  int loads = 0, unloads = 0;
  bool fail_load = false;
  std::u16string log;

 protected:
  void Form_Load() override {
    ++loads;
    if (fail_load) RaiseRuntime(kErrInvalidCall, u"load refused");
    edName.SetText(u"loaded");  // uses a control while loading
  }
  void Form_Unload() override {
    ++unloads;
    log += u"unload:" + edName.Text();
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

// One modal show of SampleDlg under a script: what the buttons did, whether the
// form is still loaded, and how many problems the driver noted.
struct Show {
  const char* name;
  std::function<void(SampleDlg&)> before;
  std::optional<std::vector<UserAction>> script;  // none: no script queued
  std::u16string log;
  bool loaded_after;
  size_t problems;
  const char16_t* script_for = u"SampleDlg";
};

TEST(FormLifecycleTest, ModalShowsEndAsTheScriptSays) {
  const auto none = [](SampleDlg&) {};
  for (const Show& c :
       {Show{"OkHides", none, {{Type(u"edName", u"x"), Click(u"btOk")}}, u"ok:x/0", true, 0},
        Show{"HiddenCheckBoxIsNotTicked",
             none,  // hidden by design
             {{Tick(u"chOption", 1), Pick(u"cbType", u"VB"), Click(u"btOk")}},
             u"ok:loaded/0VB",
             true,
             1},
        Show{"CancelUnloads",
             none,
             {{Type(u"edName", u"y"), Click(u"btCancel")}},
             u"unload:y",
             false,
             0},
        Show{"CloseBoxUnloads", none, {{Type(u"edName", u"y"), Close()}}, u"unload:y", false, 0},
        Show{"DisabledBoxIsNotTyped",
             [](SampleDlg& d) { d.edName.SetEnabled(false); },
             {{Type(u"edName", u"x"), Click(u"btOk")}},
             u"ok:loaded/0",
             true,
             1},
        Show{"VisibleCheckBoxAndPick",
             [](SampleDlg& d) { d.chOption.SetVisible(true); },
             {{Tick(u"chOption", 1), Pick(u"cbType", u"VB"), Click(u"btOk")}},
             u"ok:loaded/1VB",
             true,
             0},
        Show{"ActionsAfterTheCloseAreNoted",
             none,
             {{Click(u"btOk"), Type(u"edName", u"late")}},
             u"ok:loaded/0",
             true,
             1},
        // A show the script cannot finish closes the window, so a run never hangs.
        Show{"NoScript", none, std::nullopt, u"unload:loaded", false, 1},
        Show{"NobodyPressesOk", none, {{Type(u"edName", u"a")}}, u"unload:a", false, 1},
        Show{"UnknownControl",
             none,
             {{Type(u"edMissing", u"a"), Click(u"btOk")}},
             u"unload:loaded",
             false,
             1},
        Show{"WrongAction", none, {{Type(u"btOk", u"a")}}, u"unload:loaded", false, 1},
        Show{"AnotherFormsScriptStaysQueued",
             none,
             {{Click(u"btOk")}},
             u"unload:loaded",
             false,
             1,
             u"OtherDlg"}}) {
    SCOPED_TRACE(c.name);
    testing::ScopedRecordingHost host;
    SampleDlg dlg;
    c.before(dlg);
    if (c.script) host->Driver().ExpectShow(c.script_for, *c.script);
    dlg.ShowModal();
    EXPECT_EQ(dlg.log, c.log);
    EXPECT_EQ(dlg.loads, 1);
    EXPECT_EQ(dlg.IsLoaded(), c.loaded_after);
    EXPECT_FALSE(dlg.IsVisible() || dlg.InModalShow());
    EXPECT_EQ(host->Driver().Problems().size(), c.problems);
    EXPECT_EQ(host->Driver().PendingScripts(), c.script_for == std::u16string(u"OtherDlg"));
  }
}

class FormTest : public ::testing::Test {
 protected:
  testing::ScopedRecordingHost host;
  SampleDlg dlg;
};

TEST_F(FormTest, FirstUseLoadsOnceWithAWindowOfItsOwnAndAFailedLoadRaises) {
  SampleDlg other;
  EXPECT_EQ(dlg.WindowHandle(), 0);
  EXPECT_FALSE(dlg.chOption.Visible());  // a read loads the form
  EXPECT_TRUE(dlg.IsLoaded());
  dlg.Load();
  EXPECT_EQ(dlg.loads, 1);
  other.Load();
  const intptr_t before = dlg.WindowHandle();
  EXPECT_NE(before, 0);
  EXPECT_NE(other.WindowHandle(), before);
  dlg.Unload();
  EXPECT_EQ(dlg.WindowHandle(), 0);
  dlg.Load();
  EXPECT_NE(dlg.WindowHandle(), before);
  other.Unload();
  other.fail_load = true;
  EXPECT_EQ(RaisedNumber([&] { other.Load(); }), kErrInvalidCall);
  EXPECT_FALSE(other.IsLoaded());
  EXPECT_EQ(other.WindowHandle(), 0);
}

TEST_F(FormTest, UnloadRunsTheHandlerAndBringsBackTheDesignState) {
  dlg.Unload();  // not loaded: nothing to do
  EXPECT_EQ(dlg.loads + dlg.unloads, 0);
  dlg.edName.SetText(u"pakeista");
  dlg.chOption.SetVisible(true);
  dlg.chOption.SetValue(1);
  dlg.btOk.SetEnabled(false);
  dlg.lbTitle.SetCaption(u"Antraštė");
  dlg.SetCaption(u"Langas");
  dlg.Unload();
  EXPECT_EQ(dlg.log, u"unload:pakeista");  // Form_Unload still sees the values
  EXPECT_FALSE(dlg.IsLoaded());
  EXPECT_FALSE(dlg.chOption.Visible());  // loads again, with design values
  EXPECT_EQ(dlg.loads, 2);
  EXPECT_EQ(dlg.chOption.Value(), 0);
  EXPECT_TRUE(dlg.btOk.Enabled());
  EXPECT_EQ(dlg.lbTitle.Caption() + dlg.Caption(), u"#4001#4000");
}

// The inner show runs its script while both shows are modal; its OK hides it, so
// the outer handler still reads its values afterwards.
TEST_F(FormTest, ModalShowsNestAndHideKeepsValues) {
  SampleDlg inner(u"InnerDlg");
  std::u16string order;
  dlg.btOk.Clicked().Connect([&] {
    inner.ShowModal();
    order += u" after inner: " + inner.edName.Text();
  });
  host->Driver()
      .ExpectShow(u"SampleDlg", {Click(u"btOk")})
      .ExpectShow(u"InnerDlg", {Type(u"edName", u"vidinis"), Call([&](Form& form) {
                                  if (dlg.InModalShow() && form.InModalShow()) order += u"inside";
                                  order += IntToText(RaisedNumber([&] { form.ShowModal(); }));
                                }),
                                Click(u"btOk")});
  dlg.ShowModal();
  EXPECT_EQ(order, u"inside400 after inner: vidinis");  // a second show of a shown form: 400
  EXPECT_EQ(inner.log, u"ok:vidinis/0");
  EXPECT_EQ(inner.unloads, 0);
  EXPECT_FALSE(inner.IsVisible() || inner.InModalShow() || dlg.IsVisible());
  EXPECT_TRUE(host->Driver().Problems().empty());
}

TEST_F(FormTest, ClickFiresOnlyOnEnabledVisibleButtonsAndConnectedHandlers) {
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
  EXPECT_EQ(std::tuple(cancels, first, second), std::tuple(1, 1, 0));
}

TEST(FormWithoutHost, ModalShowRaisesObjectNotSet) {
  ASSERT_FALSE(host::HostLibrary::IsInstalled());
  SampleDlg dlg;
  EXPECT_EQ(RaisedNumber([&] { dlg.ShowModal(); }), kErrObjectNotSet);
  EXPECT_FALSE(dlg.IsVisible());
}

// The rate dialog's way of using the host frame: a refused OK shows the message
// and keeps the dialog open; Cancel hides it without asking.
class FrameUser : public host::DialogFormEvents {
 public:
  void m_oForm_BeforeShow() override { calls += u"BeforeShow "; }
  void m_oForm_btOKClick(bool& is_ok, std::u16string& err_message) override {
    calls += u"btOKClick ";
    if (std::exchange(refuse_next, false)) {
      is_ok = false;
      err_message = u"Nepasirinktas tipas";
    }
  }
  bool refuse_next = true;
  std::u16string calls;
};

TEST_F(FormTest, DialogFrameAnswersOkThroughTheFormAndReleasesItsHandlers) {
  SampleDlg dlg(u"SampleDlg", false);
  FrameUser user;
  auto frame = host->CreateDialogForm();
  frame->Attach(dlg, dlg.btOk, dlg.btCancel, nullptr, true, true);
  frame->SetEvents(&user);
  bool open_after_refusal = false;
  host->Driver()
      .ExpectShow(u"SampleDlg",
                  {Click(u"btOk"), Call([&](Form& form) { open_after_refusal = form.IsVisible(); }),
                   Click(u"btOk")})
      .ExpectShow(u"SampleDlg", {Click(u"btCancel")});
  frame->ShowDialog();
  EXPECT_TRUE(open_after_refusal);
  ASSERT_EQ(host->Messages().size(), 1u);
  EXPECT_EQ(host->Messages()[0].text, u"Nepasirinktas tipas");
  EXPECT_EQ(host->Messages()[0].button1, u"Gerai");
  EXPECT_EQ(host->Messages()[0].kind, host::kMessageError);
  frame->ShowDialog();
  EXPECT_EQ(user.calls, u"BeforeShow btOKClick btOKClick BeforeShow ");
  EXPECT_FALSE(dlg.IsVisible());
  EXPECT_TRUE(dlg.IsLoaded());
  EXPECT_EQ(dlg.Caption(), host->Text(4000));
  EXPECT_EQ(host->LocalizedForms(), (std::vector<std::u16string>(2, u"SampleDlg")));  // each show
  EXPECT_TRUE(host->Driver().Problems().empty());
  frame.reset();
  dlg.btOk.Click();  // would reach the released frame if it were still connected
  EXPECT_EQ(user.calls, u"BeforeShow btOKClick btOKClick BeforeShow ");
}

}  // namespace
}  // namespace norv::forms
