// CFile names: the folder of an empty Path and the folder kept for a key (the
// joins, short and cleaned names are in tests/data/file_names).
#include <string>

#include "files/cfile.h"
#include "files_fixture.h"

namespace norv::testing {
namespace {

TEST_F(FilesTest, EmptyPathPinsTheCurrentDirectoryWithASeparator) {
  TempFolder other;
  CFile file, root;
  {
    ScopedCurrentDirectory cwd(temp.path());
    file.SetFileName(u"a.txt");
    EXPECT_EQ(file.Path(), temp.u16path());
    EXPECT_EQ(file.CrFullName(), temp.u16path() + u"\\a.txt");
  }
  ScopedCurrentDirectory cwd(other.path());
  EXPECT_EQ(file.Path(), temp.u16path() + u"\\") << "outlives a change of directory";
  {
    ScopedCurrentDirectory top("/");
    root.SetFileName(u"a.txt");
    EXPECT_EQ(root.CrFullName(), u"/a.txt") << "no second separator";
  }
  EXPECT_EQ(root.Path(), other.u16path()) << "an empty Path at / keeps following the directory";
}

TEST_F(FilesTest, PathByPathKeyAsksTheBookOnlyForAKey) {
  CFile file;
  host->SetPathKey(u"RazizeRuveRO", u"/exports/bank");
  EXPECT_EQ(file.PathByPathKey(u""), u"");
  EXPECT_TRUE(host->BookCalls().empty());
  EXPECT_EQ(file.PathByPathKey(u"RazizeRuveRO"), u"/exports/bank");
  EXPECT_EQ(file.PathByPathKey(u"ClientBank"), u"");
  ASSERT_GE(host->BookCalls().size(), 2u);
  EXPECT_EQ(host->BookCalls()[0].book, u"PathKey");
  EXPECT_EQ(host->BookCalls()[1].op, u"FindByKey");
  EXPECT_EQ(std::get<std::u16string>(host->BookCalls()[1].args.at(0)), u"RazizeRuveRO");
  EXPECT_NE(file.Path(), u"/exports/bank") << "PathByPathKey changes nothing";
  host->FailNext(u"PathKey", u"FindByKey", ComError(3021, u"Book", u"No current record"));
  EXPECT_RAISES(file.PathByPathKey(u"RazizeRuveRO"), 3021);

  EXPECT_EQ(file.CrFullName2(u"RazizeRuveRO", u"240131.mok"), u"/exports/bank\\240131.mok");
  EXPECT_EQ(file.FileName(), u"240131.mok");
  ScopedCurrentDirectory cwd(temp.path());
  EXPECT_EQ(file.CrFullName2(u"ClientBank", u"x.txt"), temp.u16path() + u"\\x.txt");
}

}  // namespace
}  // namespace norv::testing
