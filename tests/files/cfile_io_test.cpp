// CFile reading and writing: creation on the first line, flushing, the code
// page and Unicode byte for byte, openings, appending and their errors.
#include <string>
#include <vector>

#include "files/buffered_file.h"
#include "files/cfile.h"
#include "files/file_numbers.h"
#include "files_fixture.h"
#include "runtime/text.h"

namespace norv::testing {
namespace {

TEST_F(FilesTest, FirstLineReplacesAnOldFileAndCloseFlushes) {
  temp.WriteBytes("out.mok", "old contents that must go\r\n");
  const int in_use = FileNumbers::InUse();
  {
    CFile file;
    Name(file, u"out.mok");
    EXPECT_FALSE(file.FileIsOpen());
    EXPECT_TRUE(file.WriteStr(u"first"));
    EXPECT_TRUE(file.FileIsOpen());
    EXPECT_TRUE(file.WriteStr(u""));
    EXPECT_TRUE(file.WriteStr(u"third"));
    file.CloseFile();
    file.CloseFile();
    EXPECT_FALSE(file.FileIsOpen());
    EXPECT_EQ(temp.ReadBytes("out.mok"), "first\r\n\r\nthird\r\n");
    file.WriteStr(u"kept");  // creates anew; teardown flushes and closes it
    EXPECT_EQ(FileNumbers::InUse(), in_use + 1);
  }
  EXPECT_EQ(FileNumbers::InUse(), in_use);
  EXPECT_EQ(temp.ReadBytes("out.mok"), "kept\r\n");
  EXPECT_TRUE(host->Errors().empty());
}

// Both modes: Flush puts what is buffered on the disk and the file stays open;
// Unicode is UTF-16LE with a byte-order mark, read and appended in the same form.
TEST_F(FilesTest, FlushAndUnicodeBytes) {
  for (const bool unicode : {false, true}) {
    SCOPED_TRACE(unicode);
    CFile file;
    file.SetIsUnicode(unicode);
    Name(file, u"a.txt");
    file.Flush();
    EXPECT_FALSE(temp.Exists("a.txt"));
    file.WriteStr(u"Ąa");
    file.Flush();
    const std::string first =
        unicode ? std::string("\xFF\xFE\x04\x01\x61\0\r\0\n\0", 10) : "\xC0\x61\r\n";
    EXPECT_EQ(temp.ReadBytes("a.txt"), first);
    file.WriteStr(u"b");
    file.CloseFile();
    const std::string second = unicode ? std::string("b\0\r\0\n\0", 6) : "b\r\n";
    EXPECT_EQ(temp.ReadBytes("a.txt"), first + second);
    file.OpenFileForAppend();
    file.WriteStr(u"c");
    file.CloseFile();
    EXPECT_TRUE(file.OpenFile());  // the object's own name
    file.Flush();
    std::vector<std::u16string> lines;
    for (std::u16string line; file.ReadStr(line);) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"Ąa", u"b", u"c"}));
    ASSERT_EQ(::unlink(temp.File("a.txt").c_str()), 0);
  }
  CFile file;  // opening a missing Unicode file for reading creates it
  file.SetIsUnicode(true);
  Name(file, u"new.txt");
  std::u16string line;
  EXPECT_FALSE(file.ReadStr(line)) << "no stream held yet";
  EXPECT_TRUE(file.OpenFile());
  EXPECT_FALSE(file.ReadStr(line));
  EXPECT_TRUE(temp.Exists("new.txt"));
}

TEST_F(FilesTest, Windows1257BothWays) {
  CFile file;
  Name(file, u"lt.txt");
  file.WriteStr(u"ĄČĘĖĮŠŲŪŽ ąčęėįšųūž €");
  file.WriteStr(u"Жx");  // a letter the code page lacks
  file.CloseFile();
  EXPECT_EQ(
      temp.ReadBytes("lt.txt"),
      "\xC0\xC8\xC6\xCB\xC1\xD0\xD8\xDB\xDE \xE0\xE8\xE6\xEB\xE1\xF0\xF8\xFB\xFE \x80\r\n?x\r\n");
  EXPECT_EQ(ReadAll(At(u"lt.txt")), (std::vector<std::u16string>{u"ĄČĘĖĮŠŲŪŽ ąčęėįšųūž €", u"?x"}));
}

TEST_F(FilesTest, OpeningsFillAnEmptyNameAndCloseTheOldFileFirst) {
  temp.WriteBytes("in.txt", "x\r\n");
  temp.WriteBytes("log.txt", "a\r\n");
  CFile file;
  Name(file, u"a.txt");
  file.WriteStr(u"to a");
  Name(file, u"in.txt");
  std::u16string name;
  EXPECT_TRUE(file.OpenFile(name));
  EXPECT_EQ(name, At(u"in.txt"));
  EXPECT_EQ(temp.ReadBytes("a.txt"), "to a\r\n") << "flushed by the close";
  std::u16string line;
  EXPECT_TRUE(file.ReadStr(line));
  EXPECT_EQ(line, u"x");
  file.SetPath(u"/elsewhere");
  file.SetFileName(u"other.txt");
  name = At(u"log.txt");
  EXPECT_TRUE(file.OpenFileForAppend(name));
  EXPECT_EQ(file.Path(), u"/elsewhere") << "a given name leaves Path and FileName alone";
  EXPECT_EQ(file.FileName(), u"other.txt");
  file.WriteStr(u"b");
  file.CloseFile();
  EXPECT_EQ(temp.ReadBytes("log.txt"), "a\r\nb\r\n");
  Name(file, u"new.txt");
  name.clear();
  EXPECT_TRUE(file.OpenFileForAppend(name));
  EXPECT_EQ(name, At(u"new.txt"));
  file.WriteStr(u"c");
  file.CloseFile();
  EXPECT_EQ(temp.ReadBytes("new.txt"), "c\r\n");
}

TEST_F(FilesTest, MissingFileRaises53AndKeepsItsNumberUntilClose) {
  const int in_use = FileNumbers::InUse();
  CFile file;
  std::u16string name = At(u"missing.txt");
  EXPECT_RAISES(file.OpenFile(name), kErrFileNotFound);
  EXPECT_TRUE(file.FileIsOpen());
  EXPECT_EQ(FileNumbers::InUse(), in_use + 1);
  std::u16string line;
  EXPECT_RAISES(file.ReadStr(line), kErrBadFileNameOrNumber);
  EXPECT_RAISES(file.WriteStr(u"x"), kErrBadFileNameOrNumber);
  file.CloseFile();  // no file under the number: nothing raised
  EXPECT_FALSE(file.FileIsOpen());
  EXPECT_EQ(FileNumbers::InUse(), in_use);
}

TEST_F(FilesTest, MissingFolderRaises76AndAFolderInPlaceOfTheFile75) {
  CFile file;
  file.SetPath(temp.u16path() + u"\\no\\such");
  file.SetFileName(u"a.txt");
  EXPECT_RAISES(file.WriteStr(u"x"), kErrPathNotFound);
  std::u16string name = temp.u16path() + u"/nothere/a.txt";
  EXPECT_RAISES(file.OpenFile(name), kErrPathNotFound);
  name = temp.u16path();
  EXPECT_RAISES(file.OpenFile(name), kErrPathFileAccess);
  Name(file, u"");
  EXPECT_RAISES(file.CrFile(), kErrPathFileAccess);
}

TEST_F(FilesTest, WrongDirectionIsABadFileModeAndNoOpeningReadsNothing) {
  CFile file;
  std::u16string line = u"kept";
  EXPECT_FALSE(file.ReadStr(line));
  EXPECT_EQ(line, u"kept");
  Name(file, u"a.txt");
  file.CrFile();
  EXPECT_RAISES(file.ReadStr(line), kErrBadFileMode);
  file.CloseFile();
  CFile reader;
  std::u16string name = At(u"a.txt");
  reader.OpenFile(name);
  EXPECT_RAISES(reader.WriteStr(u"x"), kErrBadFileMode);
}

}  // namespace
}  // namespace norv::testing
