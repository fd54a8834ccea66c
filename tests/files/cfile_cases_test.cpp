// CFile names and lines: the cases kept in tests/data/file_names (full, short
// and cleaned names, the runtime error of each errno of a failed creation, the
// lines read from given bytes), the folder of an empty Path and of a key.
#include <string>
#include <vector>

#include "files/buffered_file.h"
#include "files_fixture.h"
#include "runtime/text.h"
#include "support/data_files.h"
#include "support/fault_injecting_file_system.h"

namespace norv::testing {
namespace {

std::vector<std::u16string> Split(const std::string& text) {
  std::vector<std::u16string> lines;
  for (size_t at = 0; !text.empty() && at <= text.size();) {
    const size_t bar = std::min(text.find('|', at), text.size());
    lines.push_back(Utf8ToU16(Unescape(text.substr(at, bar - at))));
    at = bar + 1;
  }
  return lines;
}

TEST_F(FilesTest, CasesFromData) {
  for (const Row& c : Manifest("file_names", 4)) {
    SCOPED_TRACE(c[0] + " " + c[1] + " " + c[2]);
    const std::u16string a = Utf8ToU16(c[1]), b = Utf8ToU16(c[2]), expected = Utf8ToU16(c[3]);
    CFile file;
    if (c[0] == "full") {
      file.SetPath(a);
      file.SetFileName(b);
      EXPECT_EQ(file.CrFullName(), expected);
    } else if (c[0] == "short") {
      file.SetFileName(a);
      EXPECT_EQ(file.GetShortFileName(), expected);
    } else if (c[0] == "valid") {
      file.SetFileName(a);
      EXPECT_EQ(file.GetValidFileName(b), expected);
      EXPECT_EQ(file.FileName(), a) << "the name itself stays";
    } else if (c[0] == "errno") {
      FaultInjectingFileSystem faults;
      ScopedFileSystem installed(faults);
      faults.FailNth(FileOp::kOpenWrite, 1, std::stoi(c[1]));
      Name(file, u"a.txt");
      EXPECT_RAISES(file.WriteStr(u"x"), std::stoi(c[3]));
      EXPECT_FALSE(temp.Exists("a.txt"));
      EXPECT_TRUE(file.FileIsOpen()) << "the number stays taken";
      file.CloseFile();
      EXPECT_TRUE(file.WriteStr(u"x")) << "the fault was for one call";
      file.CloseFile();
      EXPECT_EQ(temp.ReadBytes("a.txt"), "x\r\n");
      ASSERT_EQ(::unlink(temp.File("a.txt").c_str()), 0);
    } else {
      ASSERT_EQ(c[0], "lines");
      temp.WriteBytes("in.txt", Unescape(c[1]));
      EXPECT_EQ(ReadAll(At(u"in.txt")), Split(c[3]));
    }
  }
}

// Line ends on and across the read buffer's edges.
TEST_F(FilesTest, LinesAcrossTheReadBuffer) {
  const std::string full(BufferedFile::kBufferSize - 1, 'x');  // CR on a buffer's last byte
  const std::string longer(BufferedFile::kBufferSize * 2 + 17, 'y');
  const std::u16string full16(full.size(), u'x'), long16(longer.size(), u'y');
  for (const auto& [bytes, lines] :
       {std::pair{full + "\r\nz", std::vector{full16, std::u16string(u"z")}},
        std::pair{full + "\rz", std::vector{full16, std::u16string(u"z")}},
        std::pair{longer + "\r\n" + longer, std::vector{long16, long16}}}) {
    temp.WriteBytes("in.txt", bytes);
    EXPECT_EQ(ReadAll(At(u"in.txt")), lines) << bytes.size();
  }
}

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
