// The scripted forms driver never hangs a run, and the host's OK/Cancel dialog
// frame answers OK through the attached form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/control.h"
#include "forms/form.h"
#include "host/dialog_form.h"
#include "host/message_window.h"
#include "support/recording_host.h"

namespace norv::forms {
namespace {

using hostkit::Call;
using hostkit::Click;
using hostkit::Pick;
using hostkit::Tick;
using hostkit::Type;

class PickDlg : public Form {
 public:
  PickDlg()
      : Form(u"PickDlg", u"#4017"),
        edFile(AddControl<TextBox>(u"edFile")),
        chFlag(AddControl<CheckBox>(u"chFlag", u"Flag")),
        cbType(AddControl<HostCombo>(u"cbType", u"REFRateType")),
        btOk(AddControl<CommandButton>(u"btOk", u"OK")),
        btCancel(AddControl<CommandButton>(u"btCancel", u"Cancel")) {}

  TextBox& edFile;
  CheckBox& chFlag;
  HostCombo& cbType;
  CommandButton& btOk;
  CommandButton& btCancel;
};

class ScriptedDriverTest : public ::testing::Test {
 protected:
  testing::ScopedRecordingHost host;
  PickDlg dlg;
};

TEST_F(ScriptedDriverTest, PlaysActionsIntoEnabledVisibleControlsUntilTheClose) {
  dlg.btOk.Clicked().Connect([this] { dlg.Hide(); });
  host->Driver().ExpectShow(
      u"PickDlg", {Type(u"edFile", u"/tmp/k.txt"), Tick(u"chFlag", 1), Pick(u"cbType", u"VB"),
                   Click(u"btOk"), Type(u"edFile", u"late")});  // after the close: noted
  dlg.ShowModal();
  EXPECT_EQ(dlg.edFile.Text(), u"/tmp/k.txt");
  EXPECT_EQ(dlg.chFlag.Value(), 1);
  EXPECT_EQ(dlg.cbType.SelectedCode(), u"VB");
  EXPECT_EQ(host->Driver().Problems().size(), 1u);
  EXPECT_EQ(host->Driver().PendingScripts(), 0u);
  // The user cannot change a hidden or a disabled control.
  dlg.chFlag.SetVisible(false);
  dlg.edFile.SetEnabled(false);
  host->Driver().ExpectShow(u"PickDlg",
                            {Tick(u"chFlag", 0), Type(u"edFile", u"x"), Click(u"btOk")});
  dlg.ShowModal();
  EXPECT_EQ(dlg.chFlag.Value(), 1);
  EXPECT_EQ(dlg.edFile.Text(), u"/tmp/k.txt");
  EXPECT_EQ(host->Driver().Problems().size(), 3u);
}

// A show the script cannot finish closes the window, so a run never hangs, and is noted.
TEST_F(ScriptedDriverTest, ShowTheScriptCannotFinishClosesTheWindowAndIsNoted) {
  dlg.ShowModal();  // no script at all
  EXPECT_FALSE(dlg.IsLoaded());
  ASSERT_EQ(host->Driver().Problems().size(), 1u);
  EXPECT_NE(host->Driver().Problems()[0].find(u"PickDlg"), std::u16string::npos);
  host->Driver()
      .ExpectShow(u"PickDlg", {Type(u"edFile", u"a")})                     // nobody presses OK
      .ExpectShow(u"PickDlg", {Type(u"edMissing", u"a"), Click(u"btOk")})  // unknown control
      .ExpectShow(u"PickDlg", {Type(u"btOk", u"a")})                       // wrong action
      .ExpectShow(u"OtherDlg", {Click(u"btOk")});                          // stays queued
  for (int show = 0; show < 4; ++show) {
    dlg.ShowModal();
    EXPECT_FALSE(dlg.IsLoaded()) << show;
  }
  EXPECT_EQ(host->Driver().Problems().size(), 5u);
  EXPECT_EQ(host->Driver().PendingScripts(), 1u);
}

// The rate dialog's way of using the host frame.
class FrameUser : public host::DialogFormEvents {
 public:
  void m_oForm_BeforeShow() override { calls.push_back(u"BeforeShow"); }
  void m_oForm_btOKClick(bool& is_ok, std::u16string& err_message) override {
    calls.push_back(u"btOKClick");
    if (refuse_next) {
      refuse_next = false;
      is_ok = false;
      err_message = u"Nepasirinktas tipas";
    }
  }
  bool refuse_next = false;
  std::vector<std::u16string> calls;
};

class DialogFrameTest : public ScriptedDriverTest {
 protected:
  void SetUp() override {
    frame = host->CreateDialogForm();
    frame->Attach(dlg, dlg.btOk, dlg.btCancel, nullptr, true, true);
    frame->SetEvents(&user);
  }
  std::unique_ptr<host::DialogForm> frame;
  FrameUser user;
};

TEST_F(DialogFrameTest, RefusedOkShowsTheMessageAndKeepsTheDialogOpen) {
  user.refuse_next = true;
  bool open_after_refusal = false;
  host->Driver().ExpectShow(
      u"PickDlg", {Click(u"btOk"), Call([&](Form& form) { open_after_refusal = form.IsVisible(); }),
                   Click(u"btOk")});
  frame->ShowDialog();

  EXPECT_TRUE(open_after_refusal);
  EXPECT_EQ(user.calls, (std::vector<std::u16string>{u"BeforeShow", u"btOKClick", u"btOKClick"}));
  ASSERT_EQ(host->Messages().size(), 1u);
  EXPECT_EQ(host->Messages()[0].text, u"Nepasirinktas tipas");
  EXPECT_EQ(host->Messages()[0].button1, u"Gerai");
  EXPECT_EQ(host->Messages()[0].kind, host::kMessageError);
  EXPECT_FALSE(dlg.IsVisible());
  EXPECT_TRUE(dlg.IsLoaded());
  EXPECT_TRUE(host->Driver().Problems().empty());
}

TEST_F(DialogFrameTest, CancelHidesWithoutAskingTheFormAndCaptionsGetResourceTexts) {
  host->Driver().ExpectShow(u"PickDlg", {Click(u"btCancel")});
  frame->ShowDialog();
  EXPECT_EQ(user.calls, (std::vector<std::u16string>{u"BeforeShow"}));
  EXPECT_FALSE(dlg.IsVisible());
  EXPECT_TRUE(host->Messages().empty());
  EXPECT_EQ(dlg.Caption(), host->Text(4017));
  EXPECT_EQ(host->LocalizedForms(), (std::vector<std::u16string>{u"PickDlg"}));
  frame.reset();
  dlg.btOk.Click();  // would reach the released frame if it were still connected
  EXPECT_EQ(user.calls.size(), 1u);
}

}  // namespace
}  // namespace norv::forms
