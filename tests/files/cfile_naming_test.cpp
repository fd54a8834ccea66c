// CFile names: folder, full name, folder kept for a key, short name and the
// cleaned name.
#include <string>

#include "files/cfile.h"
#include "files_fixture.h"
#include "runtime/text.h"

namespace norv::testing {
namespace {

class CFileNamingTest : public FilesTest {
 protected:
  CFile file;
};

TEST_F(CFileNamingTest, EmptyPathPinsTheCurrentDirectoryWithASeparator) {
  TempFolder other;
  {
    ScopedCurrentDirectory cwd(temp.path());
    file.SetFileName(u"a.txt");
    EXPECT_EQ(file.Path(), temp.u16path());
    EXPECT_EQ(file.CrFullName(), temp.u16path() + u"\\a.txt");
  }
  ScopedCurrentDirectory cwd(other.path());
  EXPECT_EQ(file.Path(), temp.u16path() + u"\\") << "outlives a change of directory";
}

TEST_F(CFileNamingTest, RootFolderGetsNoSecondSeparatorAndStaysUnpinned) {
  ScopedCurrentDirectory cwd("/");
  file.SetFileName(u"a.txt");
  EXPECT_EQ(file.CrFullName(), u"/a.txt");
  ScopedCurrentDirectory back(temp.path());
  EXPECT_EQ(file.Path(), temp.u16path()) << "an empty Path keeps following the directory";
}

TEST_F(CFileNamingTest, CrFullNameJoinsFolderAndName) {
  const struct {
    std::u16string path, name, full;
  } cases[] = {
      {u"D:\\out", u"a.txt", u"D:\\out\\a.txt"}, {u"D:\\out\\", u"a.txt", u"D:\\out\\a.txt"},
      {u"D:\\out/", u"a.txt", u"D:\\out/a.txt"}, {u"/data/out", u"a.txt", u"/data/out\\a.txt"},
      {u"D:\\out", u"", u"D:\\out\\"},           {u"D:\\out", u"\\a.txt", u"D:\\out\\\\a.txt"},
      {u"C:\\", u"a.txt", u"C:\\a.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(U16ToUtf8(c.full));
    CFile named;
    named.SetPath(c.path);
    named.SetFileName(c.name);
    EXPECT_EQ(named.CrFullName(), c.full);
  }
}

TEST_F(CFileNamingTest, PathByPathKeyAsksTheBookOnlyForAKey) {
  host->SetPathKey(u"RazizeRuveRO", u"/exports/bank");
  EXPECT_EQ(file.PathByPathKey(u""), u"");
  EXPECT_TRUE(host->BookCalls().empty());
  EXPECT_EQ(file.PathByPathKey(u"RazizeRuveRO"), u"/exports/bank");
  EXPECT_EQ(file.PathByPathKey(u"ClientBank"), u"");
  ASSERT_GE(host->BookCalls().size(), 2u);
  EXPECT_EQ(host->BookCalls()[0].book, u"PathKey");
  EXPECT_EQ(host->BookCalls()[0].op, u"OpenBook");
  EXPECT_EQ(host->BookCalls()[1].op, u"FindByKey");
  ASSERT_EQ(host->BookCalls()[1].args.size(), 1u);
  EXPECT_EQ(std::get<std::u16string>(host->BookCalls()[1].args[0]), u"RazizeRuveRO");
  EXPECT_TRUE(file.Path() != u"/exports/bank") << "PathByPathKey changes nothing";
  host->FailNext(u"PathKey", u"FindByKey", ComError(3021, u"Book", u"No current record"));
  EXPECT_RAISES(file.PathByPathKey(u"RazizeRuveRO"), 3021);
}

TEST_F(CFileNamingTest, CrFullName2UsesTheKeptFolderOrTheCurrentDirectory) {
  host->SetPathKey(u"RazizeRuveRO", u"/exports/bank");
  EXPECT_EQ(file.CrFullName2(u"RazizeRuveRO", u"240131.mok"), u"/exports/bank\\240131.mok");
  EXPECT_EQ(file.FileName(), u"240131.mok");
  ScopedCurrentDirectory cwd(temp.path());
  EXPECT_EQ(file.CrFullName2(u"ClientBank", u"x.txt"), temp.u16path() + u"\\x.txt");
}

TEST_F(CFileNamingTest, ShortNameCutsAfterTheLastSeparatorBackslashFirst) {
  const struct {
    std::u16string name, short_name;
  } cases[] = {{u"a/b\\c", u"c"}, {u"a\\b/c", u"b/c"}, {u"a/b/c", u"c"},
               {u"abc", u"abc"},  {u"dir\\", u""},     {u"", u""}};
  for (const auto& c : cases) {
    file.SetFileName(c.name);
    EXPECT_EQ(file.GetShortFileName(), c.short_name) << U16ToUtf8(c.name);
  }
}

TEST_F(CFileNamingTest, GetValidFileNameReplacesTheNineCharacters) {
  const struct {
    std::u16string name, replacement, cleaned;
  } cases[] = {
      {u"a/b:c*d?.txt", u"_", u"a_b_c_d_.txt"},
      {u"a/b:c*d?.txt", u"", u"abcd.txt"},
      {u"\\/:*?\"<>|", u"-", u"---------"},
      {u"a<b>c|d\"e", u"[]", u"a[]b[]c[]d[]e"},
      {u"a:b/c", u"\\", u"a\\b\\c"},  // steps run in order: a "\" put in later stays
      {u"ąčę.txt", u"_", u"ąčę.txt"},
  };
  for (const auto& c : cases) {
    file.SetFileName(c.name);
    EXPECT_EQ(file.GetValidFileName(c.replacement), c.cleaned) << U16ToUtf8(c.name);
    EXPECT_EQ(file.FileName(), c.name);
  }
}

}  // namespace
}  // namespace norv::testing
