// CFile names: folder, full name, folder kept for a key, short name and the
// cleaned name.
#include <string>

#include "files/cfile.h"
#include "files_fixture.h"

namespace norv::testing {
namespace {

class CFileNamingTest : public ::testing::Test {
 protected:
  ScopedRecordingHost host;
  TempFolder temp;
  CFile file;
};

TEST_F(CFileNamingTest, EmptyPathPinsTheCurrentDirectoryWithASeparator) {
  ScopedCurrentDirectory cwd(temp.path());
  file.SetFileName(u"a.txt");
  EXPECT_EQ(file.Path(), temp.u16path());
  EXPECT_EQ(file.CrFullName(), temp.u16path() + u"\\a.txt");
  EXPECT_EQ(file.Path(), temp.u16path() + u"\\");
}

TEST_F(CFileNamingTest, PinnedFolderOutlivesAChangeOfDirectory) {
  TempFolder other;
  {
    ScopedCurrentDirectory cwd(temp.path());
    file.CrFullName();
  }
  ScopedCurrentDirectory cwd(other.path());
  EXPECT_EQ(file.Path(), temp.u16path() + u"\\");
}

TEST_F(CFileNamingTest, RootFolderGetsNoSecondSeparatorAndStaysUnpinned) {
  ScopedCurrentDirectory cwd("/");
  file.SetFileName(u"a.txt");
  EXPECT_EQ(file.CrFullName(), u"/a.txt");
  ScopedCurrentDirectory back(temp.path());
  EXPECT_EQ(file.Path(), temp.u16path()) << "an empty Path keeps following the directory";
}

struct FullNameCase {
  std::u16string path, name, full;
};

class CrFullNameTest : public ::testing::TestWithParam<FullNameCase> {};

TEST_P(CrFullNameTest, JoinsFolderAndName) {
  CFile file;
  file.SetPath(GetParam().path);
  file.SetFileName(GetParam().name);
  EXPECT_EQ(file.CrFullName(), GetParam().full);
}

INSTANTIATE_TEST_SUITE_P(
    Separators, CrFullNameTest,
    ::testing::Values(FullNameCase{u"D:\\out", u"a.txt", u"D:\\out\\a.txt"},
                      FullNameCase{u"D:\\out\\", u"a.txt", u"D:\\out\\a.txt"},
                      FullNameCase{u"D:\\out/", u"a.txt", u"D:\\out/a.txt"},
                      FullNameCase{u"/data/out", u"a.txt", u"/data/out\\a.txt"},
                      FullNameCase{u"D:\\out", u"", u"D:\\out\\"},
                      FullNameCase{u"D:\\out", u"\\a.txt", u"D:\\out\\\\a.txt"},
                      FullNameCase{u"C:\\", u"a.txt", u"C:\\a.txt"}));

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
}

TEST_F(CFileNamingTest, PathByPathKeyPassesBookErrorsOn) {
  host->FailNext(u"PathKey", u"FindByKey", ComError(3021, u"Book", u"No current record"));
  EXPECT_RAISES(file.PathByPathKey(u"RazizeRuveRO"), 3021);
}

TEST_F(CFileNamingTest, CrFullName2UsesTheKeptFolder) {
  host->SetPathKey(u"RazizeRuveRO", u"/exports/bank");
  EXPECT_EQ(file.CrFullName2(u"RazizeRuveRO", u"240131.mok"), u"/exports/bank\\240131.mok");
  EXPECT_EQ(file.FileName(), u"240131.mok");
}

TEST_F(CFileNamingTest, CrFullName2WithoutEntryFallsIntoTheCurrentDirectory) {
  ScopedCurrentDirectory cwd(temp.path());
  file.SetPath(u"/somewhere/else");
  EXPECT_EQ(file.CrFullName2(u"ClientBank", u"x.txt"), temp.u16path() + u"\\x.txt");
}

struct ShortNameCase {
  std::u16string name, short_name;
};

class ShortNameTest : public ::testing::TestWithParam<ShortNameCase> {};

TEST_P(ShortNameTest, CutsAfterTheLastSeparator) {
  CFile file;
  file.SetFileName(GetParam().name);
  EXPECT_EQ(file.GetShortFileName(), GetParam().short_name);
}

INSTANTIATE_TEST_SUITE_P(BackslashFirst, ShortNameTest,
                         ::testing::Values(ShortNameCase{u"a/b\\c", u"c"},
                                           ShortNameCase{u"a\\b/c", u"b/c"},
                                           ShortNameCase{u"a/b/c", u"c"},
                                           ShortNameCase{u"abc", u"abc"},
                                           ShortNameCase{u"dir\\", u""}, ShortNameCase{u"", u""}));

struct CleanNameCase {
  std::u16string name, replacement, cleaned;
};

class ValidFileNameTest : public ::testing::TestWithParam<CleanNameCase> {};

TEST_P(ValidFileNameTest, ReplacesTheNineCharacters) {
  CFile file;
  file.SetFileName(GetParam().name);
  EXPECT_EQ(file.GetValidFileName(GetParam().replacement), GetParam().cleaned);
  EXPECT_EQ(file.FileName(), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Replacements, ValidFileNameTest,
    ::testing::Values(CleanNameCase{u"a/b:c*d?.txt", u"_", u"a_b_c_d_.txt"},
                      CleanNameCase{u"a/b:c*d?.txt", u"", u"abcd.txt"},
                      CleanNameCase{u"\\/:*?\"<>|", u"-", u"---------"},
                      CleanNameCase{u"a<b>c|d\"e", u"[]", u"a[]b[]c[]d[]e"},
                      // Steps run in order: a "\" put in by a later step stays.
                      CleanNameCase{u"a:b/c", u"\\", u"a\\b\\c"},
                      CleanNameCase{u"ąčę.txt", u"_", u"ąčę.txt"}));

}  // namespace
}  // namespace norv::testing
