// The VB-like lifecycle of forms (load on first use, modal shows through the
// thread's driver, Hide versus Unload, the close box, design state after
// unload), the scripted driver that never hangs a run, and the host's OK/Cancel
// dialog frame.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "forms/control.h"
#include "forms/form.h"
#include "host/dialog_form.h"
#include "host/host_library.h"
#include "runtime/com_error.h"
#include "runtime/text.h"
#include "support/data_files.h"
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

// Steps "verb control value" separated by ";". With `actions`, a user's: "type edName x;
// tick chOption 1; pick cbType VB; click btOk; close". Without, done to the form in code:
// "load; failload; unload; set edName x; tick chOption 1; show|hide|enable|disable control;
// caption control|form text; click control", an error raised logged as "error:N ".
void Steps(SampleDlg& dlg, const std::string& text, std::vector<UserAction>* actions = nullptr) {
  std::istringstream lines(text);
  for (std::string step; std::getline(lines, step, ';');) {
    std::string verb, control, value;
    std::istringstream(step) >> verb >> control >> value;
    const std::u16string name = Utf8ToU16(control), text16 = Utf8ToU16(value);
    if (actions != nullptr) {
      if (verb == "type") actions->push_back(Type(name, text16));
      if (verb == "tick") actions->push_back(Tick(name, std::stoi(value)));
      if (verb == "pick") actions->push_back(Pick(name, text16));
      if (verb == "click") actions->push_back(Click(name));
      if (verb == "close") actions->push_back(Close());
      continue;
    }
    Control* c = dlg.FindControl(name);
    try {
      dlg.fail_load = verb == "failload";
      if (verb == "load" || verb == "failload") dlg.Load();
      if (verb == "unload") dlg.Unload();
      if (verb == "set") static_cast<TextBox*>(c)->SetText(text16);
      if (verb == "tick") static_cast<CheckBox*>(c)->SetValue(std::stoi(value));
      if (verb == "show" || verb == "hide") c->SetVisible(verb == "show");
      if (verb == "enable" || verb == "disable") c->SetEnabled(verb == "enable");
      if (verb == "caption" && c != nullptr) c->SetCaption(text16);
      if (verb == "caption" && c == nullptr) dlg.SetCaption(text16);
      if (verb == "click") static_cast<CommandButton*>(c)->Click();
    } catch (const ComError& error) {
      dlg.log += u"error:" + IntToText(error.number()) + u" ";
    }
  }
  dlg.fail_load = false;
}

// The cases are in tests/data/form_shows.
TEST(FormLifecycleTest, FormsEndAsListed) {
  for (const testing::Row& c : testing::Manifest("form_shows", 7)) {
    SCOPED_TRACE(c[0]);
    testing::ScopedRecordingHost host;
    SampleDlg dlg;
    if (c[1] != "-") Steps(dlg, c[1]);
    const size_t colon = c[2].find(':');  // a script queued for another form
    if (c[2] != "-" && c[2] != "none") {
      std::vector<UserAction> script;
      Steps(dlg, c[2].substr(colon + 1), &script);
      host->Driver().ExpectShow(colon == std::string::npos ? u"SampleDlg" : u"OtherDlg", script);
    }
    if (c[2] != "none") dlg.ShowModal();
    EXPECT_EQ(dlg.log, Utf8ToU16(c[3]));
    EXPECT_EQ(dlg.IsLoaded(), c[4] == "yes");
    EXPECT_FALSE(dlg.IsVisible() || dlg.InModalShow());
    EXPECT_EQ(host->Driver().Problems().size(), std::stoul(c[5]));
    EXPECT_EQ(host->Driver().PendingScripts(), colon == std::string::npos ? 0u : 1u);
    std::u16string state = IntToText(dlg.chOption.Visible());  // loads the form when it is not
    state += IntToText(dlg.chOption.Value()) + IntToText(dlg.btOk.Enabled()) + u" " +
             dlg.lbTitle.Caption() + dlg.Caption();
    EXPECT_EQ(state + u" " + IntToText(dlg.loads) + u"/" + IntToText(dlg.unloads), Utf8ToU16(c[6]));
  }
}

TEST(FormLifecycleTest, EachLoadHasAWindowOfItsOwn) {
  testing::ScopedRecordingHost host;
  SampleDlg dlg, other;
  EXPECT_EQ(dlg.WindowHandle(), 0);
  dlg.Load();
  other.Load();
  const intptr_t before = dlg.WindowHandle();
  EXPECT_TRUE(before != 0 && other.WindowHandle() != before);
  dlg.Unload();
  EXPECT_EQ(dlg.WindowHandle(), 0);
  dlg.Load();
  EXPECT_NE(dlg.WindowHandle(), before);
  other.Unload();
  other.fail_load = true;
  EXPECT_EQ(RaisedNumber([&] { other.Load(); }), kErrInvalidCall);
  EXPECT_EQ(other.WindowHandle(), 0);
}

// A handler that an earlier one disconnects while the event fires is not called.
TEST(EventTest, AHandlerDetachedByAnEarlierOneIsNotCalled) {
  Event event;
  int first = 0, second = 0, token = 0;
  event.Connect([&] {
    ++first;
    event.Disconnect(token);
  });
  token = event.Connect([&] { ++second; });
  event.Fire();
  event.Fire();
  EXPECT_EQ(std::pair(first, second), std::pair(2, 0));
}

class FormTest : public ::testing::Test {
 protected:
  testing::ScopedRecordingHost host;
  SampleDlg dlg;
};

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

TEST(FormWithoutHost, ModalShowRaisesObjectNotSet) {
  ASSERT_FALSE(host::HostLibrary::IsInstalled());
  SampleDlg dlg;
  EXPECT_EQ(RaisedNumber([&] { dlg.ShowModal(); }), kErrObjectNotSet);
  EXPECT_FALSE(dlg.IsVisible());
}

// The host's OK/Cancel frame: Cancel hides without asking the form (a refused
// OK is the rate dialog's tests'), and a released frame hears no more clicks.
class FrameUser : public host::DialogFormEvents {
 public:
  void m_oForm_BeforeShow() override { calls += u"BeforeShow "; }
  void m_oForm_btOKClick(bool&, std::u16string&) override { calls += u"btOKClick "; }
  std::u16string calls;
};

TEST_F(FormTest, DialogFrameCancelHidesWithoutAskingAndAReleasedFrameHearsNothing) {
  SampleDlg dlg(u"SampleDlg", false);
  FrameUser user;
  auto frame = host->CreateDialogForm();
  frame->Attach(dlg, dlg.btOk, dlg.btCancel, nullptr, true, true);
  frame->SetEvents(&user);
  host->Driver().ExpectShow(u"SampleDlg", {Click(u"btCancel")});
  frame->ShowDialog();
  EXPECT_EQ(user.calls, u"BeforeShow ");
  EXPECT_FALSE(dlg.IsVisible());
  EXPECT_TRUE(dlg.IsLoaded());
  EXPECT_EQ(dlg.Caption(), host->Text(4000));
  EXPECT_TRUE(host->Messages().empty() && host->Driver().Problems().empty());
  frame.reset();
  dlg.btOk.Click();
  EXPECT_EQ(user.calls, u"BeforeShow ");
}

}  // namespace
}  // namespace norv::forms
