// CBrowsePath on a small test form: the start path, the value kept from the
// form's last use, folder and file choices, cancelling, and the split of the
// box's text.
#include <memory>
#include <string>

#include "core/resource_ids.h"
#include "files/browse_path.h"
#include "files_fixture.h"
#include "forms/control.h"
#include "forms/form.h"

namespace norv::testing {
namespace {

using hostkit::Call;
using hostkit::Click;
using hostkit::Close;

// A path box and its button; when `bind_on_load` is set, the form binds them in
// Form_Load and releases the binder in Form_Unload, as the component's dialogs do.
class PathForm : public forms::Form {
 public:
  PathForm()
      : forms::Form(u"PathTestDlg", u"Path"),
        edPath(AddControl<forms::TextBox>(u"edPath")),
        btSelect(AddControl<forms::CommandButton>(u"btSelect", u"...")) {}

  forms::TextBox& edPath;
  forms::CommandButton& btSelect;
  bool bind_on_load = false;
  std::unique_ptr<CBrowsePath> binder;

 protected:
  void Form_Load() override {
    if (!bind_on_load) return;
    binder = std::make_unique<CBrowsePath>();
    int32_t select = Catalog;
    Variant start = edPath.Text();
    binder->Init(edPath, btSelect, select, start, false, u"");
  }
  void Form_Unload() override { binder.reset(); }
};

class BrowsePathTest : public ::testing::Test {
 protected:
  bool Bind(int32_t select, Variant start, bool full_name = true, std::u16string filter = u"") {
    return browse->Init(form.edPath, form.btSelect, select, start, full_name, filter);
  }
  void Keep(const std::u16string& text) {
    host->FormValues()[{u"PathTestDlg", u"edPath"}] = Variant(text);
  }

  ScopedRecordingHost host;
  PathForm form;
  std::unique_ptr<CBrowsePath> browse = std::make_unique<CBrowsePath>();
};

TEST_F(BrowsePathTest, NoStartPathTakesTheKeptValueAndStartsInC) {
  Keep(u"D:\\kept\\st.txt");
  Variant start;
  int32_t select = File;
  EXPECT_TRUE(browse->Init(form.edPath, form.btSelect, select, start, true, u""));
  EXPECT_EQ(VariantToText(start), u"D:\\kept\\st.txt") << "the caller's variable receives it";
  EXPECT_EQ(form.edPath.Text(), u"D:\\kept\\st.txt");
  form.btSelect.Click();
  ASSERT_EQ(host->FileDialogRequests().size(), 1u);
  EXPECT_EQ(host->FileDialogRequests()[0].initial_dir, u"C:\\");
}

TEST_F(BrowsePathTest, NoStartPathLeavesATypedBoxAlone) {
  Keep(u"D:\\kept\\st.txt");
  form.edPath.SetText(u"typed.txt");
  EXPECT_TRUE(Bind(File, u""));
  EXPECT_EQ(form.edPath.Text(), u"typed.txt");
}

TEST_F(BrowsePathTest, NothingKeptLeavesAnEmptyBox) {
  EXPECT_TRUE(Bind(Catalog, Variant()));
  EXPECT_EQ(form.edPath.Text(), u"");
}

TEST_F(BrowsePathTest, StartPathFillsTheBoxAndTheFileDialogStartsInItsFolder) {
  Keep(u"D:\\kept\\other.txt");
  EXPECT_TRUE(Bind(File, u"D:\\in\\st.txt"));
  EXPECT_EQ(form.edPath.Text(), u"D:\\in\\st.txt");
  EXPECT_EQ(browse->FPath(), u"D:\\in\\");
  EXPECT_EQ(browse->FileName(), u"st.txt");
  form.btSelect.Click();
  ASSERT_EQ(host->FileDialogRequests().size(), 1u);
  EXPECT_EQ(host->FileDialogRequests()[0].initial_dir, u"D:\\in\\");
}

TEST_F(BrowsePathTest, FolderChoiceGoesIntoTheBox) {
  EXPECT_TRUE(Bind(Catalog, u"D:\\old"));
  host->QueueFolderChoice(u"E:\\new");
  form.btSelect.Click();
  EXPECT_EQ(form.edPath.Text(), u"E:\\new");
  ASSERT_EQ(host->FolderRequests().size(), 1u);
  EXPECT_EQ(host->FolderRequests()[0].title, host->Text(res::kFolderChoiceTitle));
  EXPECT_EQ(host->FolderRequests()[0].owner, form.WindowHandle());
  EXPECT_NE(form.WindowHandle(), 0);
  EXPECT_EQ(host->FolderRequests()[0].start, u"");
  EXPECT_TRUE(host->FileDialogRequests().empty());
}

TEST_F(BrowsePathTest, FileDialogGetsItsRecord) {
  EXPECT_TRUE(Bind(File, u"D:\\in\\st.txt", true, u"*.txt"));
  form.btSelect.Click();
  ASSERT_EQ(host->FileDialogRequests().size(), 1u);
  const host::OpenFileRequest& request = host->FileDialogRequests()[0];
  EXPECT_EQ(request.owner_window, form.WindowHandle());
  EXPECT_EQ(request.title, host->Text(res::kFileDialogTitle));
  EXPECT_EQ(request.filter_description, host->Text(res::kAllFilesFilter));
  EXPECT_EQ(request.filter_pattern, u"*.*");
  EXPECT_EQ(request.file_buffer, u"*.txt" + std::u16string(252, u'\0'));
  EXPECT_TRUE(host->FolderRequests().empty());
}

struct FileChoiceCase {
  bool full_name;
  std::u16string box;
};

class FileChoiceTest : public BrowsePathTest,
                       public ::testing::WithParamInterface<FileChoiceCase> {};

TEST_P(FileChoiceTest, PutsTheFullNameOrTheNameOnly) {
  EXPECT_TRUE(Bind(File, u"", GetParam().full_name));
  host->QueueFileChoice(u"D:\\in\\st.txt");
  form.btSelect.Click();
  EXPECT_EQ(form.edPath.Text(), GetParam().box);
  EXPECT_EQ(browse->FullFileName(), GetParam().box);
}

INSTANTIATE_TEST_SUITE_P(SetFullName, FileChoiceTest,
                         ::testing::Values(FileChoiceCase{true, u"D:\\in\\st.txt"},
                                           FileChoiceCase{false, u"st.txt"}));

TEST_F(BrowsePathTest, CancellingEitherDialogLeavesTheBox) {
  EXPECT_TRUE(Bind(Catalog, u"D:\\keep"));
  form.btSelect.Click();  // nothing queued: the folder choice gives none
  EXPECT_EQ(form.edPath.Text(), u"D:\\keep");

  auto file_browse = std::make_unique<CBrowsePath>();
  browse.reset();
  browse = std::move(file_browse);
  EXPECT_TRUE(Bind(File, u"D:\\keep"));
  host->QueueFileChoice(std::nullopt);
  form.btSelect.Click();
  EXPECT_EQ(form.edPath.Text(), u"D:\\keep");
  EXPECT_EQ(host->FileDialogRequests().size(), 1u);
  EXPECT_EQ(host->FolderRequests().size(), 1u) << "the released binder no longer answers clicks";
  EXPECT_TRUE(host->Errors().empty());
}

TEST_F(BrowsePathTest, AFilterThatLeavesNoRoomIsReportedByTheClick) {
  EXPECT_TRUE(Bind(File, u"D:\\keep", true, std::u16string(258, u'x')));
  host->QueueFileChoice(u"D:\\in\\st.txt");
  form.btSelect.Click();
  ASSERT_EQ(host->Errors().size(), 1u);
  EXPECT_EQ(host->Errors()[0].number, kErrInvalidCall);
  EXPECT_EQ(host->Errors()[0].source, u"m_btSelect_Click");
  EXPECT_EQ(form.edPath.Text(), u"D:\\keep");
  EXPECT_TRUE(host->FileDialogRequests().empty());
}

TEST_F(BrowsePathTest, AFilterThatFillsTheBufferExactlyIsAccepted) {
  EXPECT_TRUE(Bind(File, u"D:\\keep", true, std::u16string(257, u'x')));
  form.btSelect.Click();
  ASSERT_EQ(host->FileDialogRequests().size(), 1u);
  EXPECT_EQ(host->FileDialogRequests()[0].file_buffer, std::u16string(257, u'x'));
  EXPECT_TRUE(host->Errors().empty());
}

struct SplitCase {
  std::u16string text, full, name, folder;
};

class SplitTest : public BrowsePathTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(SplitTest, FollowsTheBoxsText) {
  EXPECT_TRUE(Bind(File, u"D:\\first\\one.txt"));
  form.edPath.SetText(GetParam().text);  // the user types
  EXPECT_EQ(browse->FullFileName(), GetParam().full);
  EXPECT_EQ(browse->FileName(), GetParam().name);
  EXPECT_EQ(browse->FPath(), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitTest,
    ::testing::Values(SplitCase{u"D:\\in\\st.txt", u"D:\\in\\st.txt", u"st.txt", u"D:\\in\\"},
                      SplitCase{u"st.txt", u"st.txt", u"st.txt", u""},
                      SplitCase{u"/in/st.txt", u"/in/st.txt", u"st.txt", u"/in/"},
                      SplitCase{u"D:\\in\\", u"D:\\in\\", u"", u"D:\\in\\"},
                      SplitCase{u"", u"", u"", u""},
                      SplitCase{std::u16string(u"D:\\a\\b\0junk", 11), u"D:\\a\\b", u"b",
                                u"D:\\a\\"}));

TEST_F(BrowsePathTest, PropertiesBeforeInitAreEmpty) {
  form.edPath.SetText(u"D:\\in\\st.txt");
  EXPECT_EQ(browse->FullFileName(), u"");
  EXPECT_EQ(browse->FileName(), u"");
  EXPECT_EQ(browse->FPath(), u"");
}

TEST_F(BrowsePathTest, TeardownKeepsTheBoxsTextForTheForm) {
  EXPECT_TRUE(Bind(Catalog, u"D:\\start"));
  form.edPath.SetText(u"D:\\typed");
  browse.reset();
  EXPECT_EQ(VariantToText(host->FormValues()[{u"PathTestDlg", u"edPath"}]), u"D:\\typed");
}

TEST_F(BrowsePathTest, AnUnboundBinderKeepsNothing) {
  browse.reset();
  EXPECT_TRUE(host->FormValues().empty());
}

TEST_F(BrowsePathTest, ADialogRoundTripThroughTheScriptedDriver) {
  form.bind_on_load = true;
  host->QueueFolderChoice(u"E:\\chosen");
  std::u16string seen;
  host->Driver().ExpectShow(
      u"PathTestDlg",
      {Click(u"btSelect"), Call([&](forms::Form&) { seen = form.edPath.Text(); }), Close()});
  form.ShowModal();
  EXPECT_EQ(seen, u"E:\\chosen");
  EXPECT_TRUE(host->Driver().Problems().empty());
  EXPECT_EQ(VariantToText(host->FormValues()[{u"PathTestDlg", u"edPath"}]), u"E:\\chosen");

  // The next use of the form starts from the kept text.
  host->Driver().ExpectShow(u"PathTestDlg",
                            {Call([&](forms::Form&) { seen = form.edPath.Text(); }), Close()});
  form.ShowModal();
  EXPECT_EQ(seen, u"E:\\chosen");
}

}  // namespace
}  // namespace norv::testing
