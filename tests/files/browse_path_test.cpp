// CBrowsePath on a small test form: the start path, the value kept from the
// form's last use, file choices, cancelling, and the split of the box's text
// (the dialogs' tests choose folders and files through it).
#include <memory>
#include <string>

#include "core/resource_ids.h"
#include "files/browse_path.h"
#include "files_fixture.h"
#include "forms/control.h"
#include "forms/form.h"
#include "runtime/text.h"

namespace norv::testing {
namespace {

// A path box and its button.
class PathForm : public forms::Form {
 public:
  PathForm()
      : forms::Form(u"PathTestDlg", u"Path"),
        edPath(AddControl<forms::TextBox>(u"edPath")),
        btSelect(AddControl<forms::CommandButton>(u"btSelect", u"...")) {}

  forms::TextBox& edPath;
  forms::CommandButton& btSelect;
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
  browse = std::make_unique<CBrowsePath>();
  host->FormValues().clear();
  form.edPath.SetText(u"");
  EXPECT_TRUE(Bind(Catalog, Variant()));
  EXPECT_EQ(form.edPath.Text(), u"") << "nothing kept";
  browse = std::make_unique<CBrowsePath>();
  Keep(u"D:\\kept\\st.txt");
  form.edPath.SetText(u"typed.txt");
  EXPECT_TRUE(Bind(File, u""));
  EXPECT_EQ(form.edPath.Text(), u"typed.txt");
}

TEST_F(BrowsePathTest, StartPathFillsTheBoxAndTheFileDialogGetsItsRecord) {
  Keep(u"D:\\kept\\other.txt");
  EXPECT_TRUE(Bind(File, u"D:\\in\\st.txt", true, u"*.txt"));
  EXPECT_EQ(form.edPath.Text(), u"D:\\in\\st.txt");
  EXPECT_EQ(browse->FPath(), u"D:\\in\\");
  EXPECT_EQ(browse->FileName(), u"st.txt");
  form.btSelect.Click();
  ASSERT_EQ(host->FileDialogRequests().size(), 1u);
  const host::OpenFileRequest& request = host->FileDialogRequests()[0];
  EXPECT_EQ(request.initial_dir, u"D:\\in\\");
  EXPECT_EQ(request.owner_window, form.WindowHandle());
  EXPECT_EQ(request.title, host->Text(res::kFileDialogTitle));
  EXPECT_EQ(request.filter_description, host->Text(res::kAllFilesFilter));
  EXPECT_EQ(request.filter_pattern, u"*.*");
  EXPECT_EQ(request.file_buffer, u"*.txt" + std::u16string(252, u'\0'));
  EXPECT_TRUE(host->FolderRequests().empty());
}

TEST_F(BrowsePathTest, FileChoicePutsTheFullNameOrTheNameOnly) {
  for (bool full_name : {true, false}) {
    browse = std::make_unique<CBrowsePath>();
    EXPECT_TRUE(Bind(File, u"", full_name));
    host->QueueFileChoice(u"D:\\in\\st.txt");
    form.btSelect.Click();
    const std::u16string box = full_name ? u"D:\\in\\st.txt" : u"st.txt";
    EXPECT_EQ(form.edPath.Text(), box);
    EXPECT_EQ(browse->FullFileName(), box);
  }
}

TEST_F(BrowsePathTest, CancellingEitherDialogLeavesTheBox) {
  EXPECT_TRUE(Bind(Catalog, u"D:\\old"));
  form.btSelect.Click();  // nothing queued: the folder choice gives none
  EXPECT_EQ(form.edPath.Text(), u"D:\\old");
  ASSERT_EQ(host->FolderRequests().size(), 1u);
  EXPECT_EQ(host->FolderRequests()[0].title, host->Text(res::kFolderChoiceTitle));
  EXPECT_EQ(host->FolderRequests()[0].owner, form.WindowHandle());
  browse = std::make_unique<CBrowsePath>();
  EXPECT_TRUE(Bind(File, u"D:\\other"));  // a box with text keeps it
  host->QueueFileChoice(std::nullopt);
  form.btSelect.Click();
  EXPECT_EQ(form.edPath.Text(), u"D:\\old");
  EXPECT_EQ(host->FileDialogRequests().size(), 1u);
  EXPECT_EQ(host->FolderRequests().size(), 1u) << "the released binder no longer answers clicks";
  EXPECT_TRUE(host->Errors().empty());
}

TEST_F(BrowsePathTest, SplitFollowsTheBoxsText) {
  EXPECT_TRUE(Bind(File, u"D:\\first\\one.txt"));
  const struct {
    std::u16string text, full, name, folder;
  } cases[] = {
      {u"D:\\in\\st.txt", u"D:\\in\\st.txt", u"st.txt", u"D:\\in\\"},
      {u"st.txt", u"st.txt", u"st.txt", u""},
      {u"/in/st.txt", u"/in/st.txt", u"st.txt", u"/in/"},
      {u"D:\\in\\", u"D:\\in\\", u"", u"D:\\in\\"},
      {u"", u"", u"", u""},
      {std::u16string(u"D:\\a\\b\0junk", 11), u"D:\\a\\b", u"b", u"D:\\a\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(U16ToUtf8(c.full));
    form.edPath.SetText(c.text);  // the user types
    EXPECT_EQ(browse->FullFileName(), c.full);
    EXPECT_EQ(browse->FileName(), c.name);
    EXPECT_EQ(browse->FPath(), c.folder);
  }
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

  browse = std::make_unique<CBrowsePath>();  // a filter that fills the buffer exactly
  EXPECT_TRUE(Bind(File, u"D:\\keep", true, std::u16string(257, u'x')));
  form.btSelect.Click();
  ASSERT_EQ(host->FileDialogRequests().size(), 1u);
  EXPECT_EQ(host->FileDialogRequests()[0].file_buffer, std::u16string(257, u'x'));
  EXPECT_EQ(host->Errors().size(), 1u);
}

TEST_F(BrowsePathTest, TeardownKeepsTheBoxsTextOnlyWhenBound) {
  form.edPath.SetText(u"D:\\in\\st.txt");
  EXPECT_EQ(browse->FullFileName() + browse->FileName() + browse->FPath(), u"");
  browse.reset();
  EXPECT_TRUE(host->FormValues().empty());
  browse = std::make_unique<CBrowsePath>();
  EXPECT_TRUE(Bind(Catalog, u"D:\\start"));
  form.edPath.SetText(u"D:\\typed");
  browse.reset();
  EXPECT_EQ(VariantToText(host->FormValues()[{u"PathTestDlg", u"edPath"}]), u"D:\\typed");
}

}  // namespace
}  // namespace norv::testing
