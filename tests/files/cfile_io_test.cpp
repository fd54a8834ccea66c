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

class CFileIoTest : public ::testing::Test {
 protected:
  // A CFile named into the temporary folder.
  void Name(CFile& file, const std::u16string& name) {
    file.SetPath(temp.u16path());
    file.SetFileName(name);
  }
  std::vector<std::u16string> ReadAll(const std::string& name) {
    CFile file;
    std::u16string full = InFolder(temp, Utf8ToU16(name));
    EXPECT_TRUE(file.OpenFile(full));
    std::vector<std::u16string> lines;
    std::u16string line = u"untouched";
    while (file.ReadStr(line)) lines.push_back(line);
    EXPECT_EQ(line, lines.empty() ? std::u16string(u"untouched") : lines.back())
        << "end leaves the target as it was";
    return lines;
  }

  ScopedRecordingHost host;
  TempFolder temp;
};

TEST_F(CFileIoTest, FirstLineReplacesAnOldFileAndLinesEndWithCrLf) {
  temp.WriteBytes("out.mok", "old contents that must go\r\n");
  CFile file;
  Name(file, u"out.mok");
  EXPECT_FALSE(file.FileIsOpen());
  EXPECT_TRUE(file.WriteStr(u"first"));
  EXPECT_TRUE(file.FileIsOpen());
  EXPECT_TRUE(file.WriteStr(u""));
  EXPECT_TRUE(file.WriteStr(u"third"));
  file.CloseFile();
  EXPECT_EQ(temp.ReadBytes("out.mok"), "first\r\n\r\nthird\r\n");
}

TEST_F(CFileIoTest, WritesWindows1257) {
  CFile file;
  Name(file, u"lt.txt");
  file.WriteStr(u"ĄČĘĖĮŠŲŪŽ ąčęėįšųūž €");
  file.WriteStr(u"Жx");  // a letter the code page lacks
  file.CloseFile();
  EXPECT_EQ(temp.ReadBytes("lt.txt"),
            "\xC0\xC8\xC6\xCB\xC1\xD0\xD8\xDB\xDE \xE0\xE8\xE6\xEB\xE1\xF0\xF8\xFB\xFE \x80\r\n"
            "?x\r\n");
}

TEST_F(CFileIoTest, ReadsWindows1257) {
  temp.WriteBytes("lt.txt", "\xC0\xE8\xDE-\x80\r\n");
  EXPECT_EQ(ReadAll("lt.txt"), std::vector<std::u16string>{u"ĄčŽ-€"});
}

TEST_F(CFileIoTest, CloseFileTwiceAndTheNextLineCreatesAnew) {
  CFile file;
  Name(file, u"a.txt");
  file.WriteStr(u"one");
  file.CloseFile();
  EXPECT_FALSE(file.FileIsOpen());
  file.CloseFile();
  EXPECT_FALSE(file.FileIsOpen());
  file.WriteStr(u"two");
  file.CloseFile();
  EXPECT_EQ(temp.ReadBytes("a.txt"), "two\r\n");
}

TEST_F(CFileIoTest, TeardownFlushesAndClosesWhatItHolds) {
  const int in_use = FileNumbers::InUse();
  {
    CFile file;
    Name(file, u"a.txt");
    file.WriteStr(u"kept");
    EXPECT_EQ(FileNumbers::InUse(), in_use + 1);
  }
  EXPECT_EQ(FileNumbers::InUse(), in_use);
  EXPECT_EQ(temp.ReadBytes("a.txt"), "kept\r\n");
  EXPECT_TRUE(host->Errors().empty());
}

TEST_F(CFileIoTest, OpenFileFillsAnEmptyNameWithTheFullName) {
  temp.WriteBytes("in.txt", "x\r\n");
  CFile file;
  Name(file, u"in.txt");
  std::u16string name;
  EXPECT_TRUE(file.OpenFile(name));
  EXPECT_EQ(name, InFolder(temp, u"in.txt"));
  std::u16string line;
  EXPECT_TRUE(file.ReadStr(line));
  EXPECT_EQ(line, u"x");
}

TEST_F(CFileIoTest, OpenFileWithANameLeavesPathAndFileNameAlone) {
  temp.WriteBytes("in.txt", "x\r\n");
  CFile file;
  file.SetPath(u"/elsewhere");
  file.SetFileName(u"other.txt");
  std::u16string name = InFolder(temp, u"in.txt");
  EXPECT_TRUE(file.OpenFile(name));
  EXPECT_EQ(file.Path(), u"/elsewhere");
  EXPECT_EQ(file.FileName(), u"other.txt");
}

TEST_F(CFileIoTest, MissingFileRaises53AndKeepsItsNumberUntilClose) {
  const int in_use = FileNumbers::InUse();
  CFile file;
  std::u16string name = InFolder(temp, u"missing.txt");
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

TEST_F(CFileIoTest, MissingFolderRaises76) {
  CFile file;
  file.SetPath(temp.u16path() + u"\\no\\such");
  file.SetFileName(u"a.txt");
  EXPECT_RAISES(file.WriteStr(u"x"), kErrPathNotFound);
  std::u16string name = temp.u16path() + u"\\nothere\\a.txt";
  EXPECT_RAISES(file.OpenFile(name), kErrPathNotFound);
}

TEST_F(CFileIoTest, AFolderInPlaceOfTheFileRaises75) {
  CFile file;
  std::u16string name = temp.u16path();
  EXPECT_RAISES(file.OpenFile(name), kErrPathFileAccess);
  file.SetPath(temp.u16path());
  file.SetFileName(u"");
  EXPECT_RAISES(file.CrFile(), kErrPathFileAccess);
}

TEST_F(CFileIoTest, AppendWritesAfterTheEndAndCreatesWhenMissing) {
  temp.WriteBytes("log.txt", "a\r\n");
  CFile file;
  std::u16string name = InFolder(temp, u"log.txt");
  EXPECT_TRUE(file.OpenFileForAppend(name));
  file.WriteStr(u"b");
  file.CloseFile();
  EXPECT_EQ(temp.ReadBytes("log.txt"), "a\r\nb\r\n");

  CFile fresh;
  Name(fresh, u"new.txt");
  std::u16string empty;
  EXPECT_TRUE(fresh.OpenFileForAppend(empty));
  EXPECT_EQ(empty, InFolder(temp, u"new.txt"));
  fresh.WriteStr(u"c");
  fresh.CloseFile();
  EXPECT_EQ(temp.ReadBytes("new.txt"), "c\r\n");
}

TEST_F(CFileIoTest, ReadingAFileOpenForWritingIsABadFileMode) {
  CFile file;
  Name(file, u"a.txt");
  file.CrFile();
  std::u16string line;
  EXPECT_RAISES(file.ReadStr(line), kErrBadFileMode);
  CFile reader;
  std::u16string name = InFolder(temp, u"a.txt");
  reader.OpenFile(name);
  EXPECT_RAISES(reader.WriteStr(u"x"), kErrBadFileMode);
}

TEST_F(CFileIoTest, ReadStrBeforeAnyOpeningReturnsFalse) {
  CFile file;
  std::u16string line = u"kept";
  EXPECT_FALSE(file.ReadStr(line));
  EXPECT_EQ(line, u"kept");
}

TEST_F(CFileIoTest, ANewOpeningClosesTheOldFileFirst) {
  temp.WriteBytes("b.txt", "from b\r\n");
  CFile file;
  Name(file, u"a.txt");
  file.WriteStr(u"to a");
  std::u16string name = InFolder(temp, u"b.txt");
  file.OpenFile(name);
  EXPECT_EQ(temp.ReadBytes("a.txt"), "to a\r\n") << "flushed by the close";
  std::u16string line;
  EXPECT_TRUE(file.ReadStr(line));
  EXPECT_EQ(line, u"from b");
}

// Line ends as they occur in files from elsewhere.
struct LineEndCase {
  std::string name;
  std::string bytes;
  std::vector<std::u16string> lines;
};

class ReadStrLineEndTest : public CFileIoTest, public ::testing::WithParamInterface<LineEndCase> {};

TEST_P(ReadStrLineEndTest, SplitsAtCrCrLfAndLf) {
  temp.WriteBytes("in.txt", GetParam().bytes);
  EXPECT_EQ(ReadAll("in.txt"), GetParam().lines);
}

const std::string kFull(BufferedFile::kBufferSize - 1, 'x');  // CR falls on a buffer's last byte
const std::string kLong(BufferedFile::kBufferSize * 2 + 17, 'y');

INSTANTIATE_TEST_SUITE_P(
    Files, ReadStrLineEndTest,
    ::testing::Values(
        LineEndCase{"Empty", "", {}}, LineEndCase{"NoFinalEnd", "a", {u"a"}},
        LineEndCase{"CrLf", "a\r\nb\r\n", {u"a", u"b"}},
        LineEndCase{"LastLineWithoutEnd", "a\r\nb", {u"a", u"b"}},
        LineEndCase{"CrOnly", "a\rb\r", {u"a", u"b"}},
        LineEndCase{"LfOnly", "a\nb\n", {u"a", u"b"}},
        LineEndCase{"EmptyLines", "a\r\n\r\nb", {u"a", u"", u"b"}},
        LineEndCase{"LfThenCr", "a\n\rb", {u"a", u"", u"b"}},
        LineEndCase{"CrCrLf", "a\r\r\nb", {u"a", u"", u"b"}},
        LineEndCase{"OnlyAnEnd", "\r\n", {u""}},
        LineEndCase{
            "TabsAndNulsStay", std::string("a\tb\0c\r\n", 7), {std::u16string(u"a\tb\0c", 5)}},
        LineEndCase{
            "CrLfAcrossRefill", kFull + "\r\nz", {std::u16string(kFull.size(), u'x'), u"z"}},
        LineEndCase{"CrAloneAtRefill", kFull + "\rz", {std::u16string(kFull.size(), u'x'), u"z"}},
        LineEndCase{"LineLongerThanTheBuffer",
                    kLong + "\r\n" + kLong,
                    {std::u16string(kLong.size(), u'y'), std::u16string(kLong.size(), u'y')}}),
    [](const ::testing::TestParamInfo<LineEndCase>& info) { return info.param.name; });

TEST_F(CFileIoTest, ManyLinesSurviveTheRoundTrip) {
  CFile writer;
  Name(writer, u"many.txt");
  std::vector<std::u16string> lines;
  for (int i = 0; i < 20000; ++i) {
    lines.push_back(u"eilutė " + IntToText(i) + std::u16string(static_cast<size_t>(i % 97), u'ž'));
    writer.WriteStr(lines.back());
  }
  writer.CloseFile();
  EXPECT_EQ(ReadAll("many.txt"), lines);
}

// Unicode mode: UTF-16LE with a byte-order mark, read and extended in the same form.
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

  CFile appender;
  appender.SetIsUnicode(true);
  Name(appender, u"u.txt");
  appender.OpenFileForAppend();
  appender.WriteStr(u"b");
  appender.CloseFile();

  CFile reader;
  reader.SetIsUnicode(true);
  Name(reader, u"u.txt");
  reader.OpenFile();
  std::vector<std::u16string> lines;
  std::u16string line;
  while (reader.ReadStr(line)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"Ąa", u"b"}));
}

TEST_F(CFileIoTest, UnicodeOpeningForReadingCreatesAMissingFile) {
  CFile file;
  file.SetIsUnicode(true);
  Name(file, u"new.txt");
  std::u16string line;
  EXPECT_FALSE(file.ReadStr(line)) << "no stream held yet";
  EXPECT_TRUE(file.OpenFile());
  EXPECT_FALSE(file.ReadStr(line));
  EXPECT_TRUE(temp.Exists("new.txt"));
}

}  // namespace
}  // namespace norv::testing
