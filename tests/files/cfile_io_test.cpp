// CFile reading and writing: creation on the first line, line ends and code
// page byte for byte, the end of the file, openings and closing.
#include <string>
#include <vector>

#include "files/buffered_file.h"
#include "files/cfile.h"
#include "files/file_numbers.h"
#include "files_fixture.h"
#include "runtime/text.h"

namespace norv::testing {
namespace {

class CFileIoTest : public FilesTest {
 protected:
  std::vector<std::u16string> ReadAll(const std::u16string& name) {
    CFile file;
    std::u16string full = At(name);
    EXPECT_TRUE(file.OpenFile(full));
    std::vector<std::u16string> lines;
    std::u16string line = u"untouched";
    while (file.ReadStr(line)) lines.push_back(line);
    EXPECT_EQ(line, lines.empty() ? std::u16string(u"untouched") : lines.back())
        << "end leaves the target as it was";
    return lines;
  }
};

TEST_F(CFileIoTest, FirstLineReplacesAnOldFileAndCloseFlushes) {
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

// Flush puts what is buffered on the disk and the file stays open, in both
// modes; reading, or nothing open, is left alone.
TEST_F(CFileIoTest, FlushWritesTheBufferedLinesAndKeepsTheFileOpen) {
  for (const bool unicode : {false, true}) {
    SCOPED_TRACE(unicode ? "Unicode" : "ANSI");
    CFile file;
    file.SetIsUnicode(unicode);
    const std::string name = unicode ? "u.txt" : "a.txt";
    Name(file, Utf8ToU16(name));
    file.Flush();
    EXPECT_FALSE(temp.Exists(name));
    file.WriteStr(u"a");
    file.Flush();
    const std::string first = unicode ? std::string(
                                            "\xFF\xFE"
                                            "a\0\r\0\n\0",
                                            8)
                                      : "a\r\n";
    EXPECT_EQ(temp.ReadBytes(name), first);
    file.WriteStr(u"b");
    file.CloseFile();
    const std::string second = unicode ? std::string("b\0\r\0\n\0", 6) : "b\r\n";
    EXPECT_EQ(temp.ReadBytes(name), first + second);
    EXPECT_TRUE(file.OpenFile());
    file.Flush();
    std::u16string line;
    EXPECT_TRUE(file.ReadStr(line));
    EXPECT_EQ(line, u"a");
  }
}

TEST_F(CFileIoTest, Windows1257BothWays) {
  CFile file;
  Name(file, u"lt.txt");
  file.WriteStr(u"ĄČĘĖĮŠŲŪŽ ąčęėįšųūž €");
  file.WriteStr(u"Жx");  // a letter the code page lacks
  file.CloseFile();
  const std::string bytes =
      "\xC0\xC8\xC6\xCB\xC1\xD0\xD8\xDB\xDE \xE0\xE8\xE6\xEB\xE1\xF0\xF8\xFB\xFE \x80\r\n?x\r\n";
  EXPECT_EQ(temp.ReadBytes("lt.txt"), bytes);
  EXPECT_EQ(ReadAll(u"lt.txt"), (std::vector<std::u16string>{u"ĄČĘĖĮŠŲŪŽ ąčęėįšųūž €", u"?x"}));
}

TEST_F(CFileIoTest, OpeningsFillAnEmptyNameAndCloseTheOldFileFirst) {
  temp.WriteBytes("in.txt", "x\r\n");
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

  // A given name leaves Path and FileName alone.
  file.SetPath(u"/elsewhere");
  file.SetFileName(u"other.txt");
  EXPECT_TRUE(file.OpenFile(name));
  EXPECT_EQ(file.Path(), u"/elsewhere");
  EXPECT_EQ(file.FileName(), u"other.txt");
}

TEST_F(CFileIoTest, MissingFileRaises53AndKeepsItsNumberUntilClose) {
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

TEST_F(CFileIoTest, MissingFolderRaises76AndAFolderInPlaceOfTheFile75) {
  CFile file;
  file.SetPath(temp.u16path() + u"\\no\\such");
  file.SetFileName(u"a.txt");
  EXPECT_RAISES(file.WriteStr(u"x"), kErrPathNotFound);
  std::u16string name = temp.u16path() + u"\\nothere\\a.txt";
  EXPECT_RAISES(file.OpenFile(name), kErrPathNotFound);
  name = temp.u16path();
  EXPECT_RAISES(file.OpenFile(name), kErrPathFileAccess);
  Name(file, u"");
  EXPECT_RAISES(file.CrFile(), kErrPathFileAccess);
}

TEST_F(CFileIoTest, AppendWritesAfterTheEndAndCreatesWhenMissing) {
  temp.WriteBytes("log.txt", "a\r\n");
  CFile file;
  std::u16string name = At(u"log.txt");
  EXPECT_TRUE(file.OpenFileForAppend(name));
  file.WriteStr(u"b");
  file.CloseFile();
  EXPECT_EQ(temp.ReadBytes("log.txt"), "a\r\nb\r\n");

  Name(file, u"new.txt");
  std::u16string empty;
  EXPECT_TRUE(file.OpenFileForAppend(empty));
  EXPECT_EQ(empty, At(u"new.txt"));
  file.WriteStr(u"c");
  file.CloseFile();
  EXPECT_EQ(temp.ReadBytes("new.txt"), "c\r\n");
}

TEST_F(CFileIoTest, WrongDirectionIsABadFileModeAndNoOpeningReadsNothing) {
  CFile file;
  std::u16string line = u"kept";
  EXPECT_FALSE(file.ReadStr(line));
  EXPECT_EQ(line, u"kept");
  Name(file, u"a.txt");
  file.CrFile();
  EXPECT_RAISES(file.ReadStr(line), kErrBadFileMode);
  file.CloseFile();  // a file being written is not opened for reading
  CFile reader;
  std::u16string name = At(u"a.txt");
  reader.OpenFile(name);
  EXPECT_RAISES(reader.WriteStr(u"x"), kErrBadFileMode);
}

TEST_F(CFileIoTest, ReadStrSplitsAtCrCrLfAndLf) {
  const std::string full(BufferedFile::kBufferSize - 1, 'x');  // CR on a buffer's last byte
  const std::string longer(BufferedFile::kBufferSize * 2 + 17, 'y');
  const std::u16string full16(full.size(), u'x'), long16(longer.size(), u'y');
  const struct {
    std::string bytes;
    std::vector<std::u16string> lines;
  } cases[] = {
      {"", {}},
      {"a", {u"a"}},  // no final line end
      {"a\r\nb\rc\nd\r\n", {u"a", u"b", u"c", u"d"}},
      // Empty lines between each kind of end; tabs and NULs stay.
      {std::string("\r\n\r\nb\n\rc\r\r\nd\t\0e", 15),
       {u"", u"", u"b", u"", u"c", u"", std::u16string(u"d\t\0e", 4)}},
      {full + "\r\nz", {full16, u"z"}},
      {full + "\rz", {full16, u"z"}},
      {longer + "\r\n" + longer, {long16, long16}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes.substr(0, 12)) + " size " +
                 std::to_string(c.bytes.size()));
    temp.WriteBytes("in.txt", c.bytes);
    EXPECT_EQ(ReadAll(u"in.txt"), c.lines);
  }
}

TEST_F(CFileIoTest, ManyLinesSurviveTheRoundTrip) {
  CFile writer;
  Name(writer, u"many.txt");
  std::vector<std::u16string> lines;
  for (int i = 0; i < 20000; ++i) {
    lines.push_back(u"eilutė " + IntToText(i) + std::u16string(static_cast<size_t>(i % 97), u'ž'));
    writer.WriteStr(lines.back());
  }
  writer.CloseFile();
  EXPECT_EQ(ReadAll(u"many.txt"), lines);
}

// Unicode mode: UTF-16LE with a byte-order mark, read and extended in the same
// form; opening a missing file for reading creates it.
TEST_F(CFileIoTest, UnicodeModeWritesUtf16WithMarkAndReadsItBack) {
  CFile file;
  file.SetIsUnicode(true);
  Name(file, u"u.txt");
  EXPECT_TRUE(file.WriteStr(u"Ąa"));
  EXPECT_TRUE(file.FileIsOpen());
  file.CloseFile();
  EXPECT_EQ(temp.ReadBytes("u.txt"), std::string("\xFF\xFE\x04\x01"
                                                 "a\0\r\0\n\0",
                                                 10));
  file.OpenFileForAppend();
  file.WriteStr(u"b");
  file.CloseFile();
  EXPECT_TRUE(file.OpenFile());  // the stream opens the object's own name
  std::vector<std::u16string> lines;
  std::u16string line;
  while (file.ReadStr(line)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"Ąa", u"b"}));

  Name(file, u"new.txt");
  EXPECT_FALSE(file.ReadStr(line)) << "no stream held yet";
  EXPECT_TRUE(file.OpenFile());
  EXPECT_FALSE(file.ReadStr(line));
  EXPECT_TRUE(temp.Exists("new.txt"));
}

}  // namespace
}  // namespace norv::testing
