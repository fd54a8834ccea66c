// CFile's session log lines, backups, attributes, copies and moves.
#include <sys/stat.h>

#include <string>

#include "files/cfile.h"
#include "files_fixture.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv::testing {
namespace {

class CFileBackupTest : public ::testing::Test {
 protected:
  void Name(CFile& file, const std::u16string& name) {
    file.SetPath(temp.u16path());
    file.SetFileName(name);
  }
  // The log's time stamps, read from the clock around the call.
  static std::u16string Stamp(Date when) {
    const RegionalSettings& regional = RegionalSettings::Current();
    return regional.FormatShortDate(when) + u" " + regional.FormatLongTime(when);
  }
  std::u16string ReadText(const std::string& name) {
    return Utf8ToU16(temp.ReadBytes(name));  // the log texts here are ASCII
  }

  ScopedRecordingHost host;
  TempFolder temp;
};

TEST_F(CFileBackupTest, LogLinesInOrder) {
  temp.WriteBytes("log.txt", "an older log\r\n");
  CFile log;
  Name(log, u"log.txt");
  const Date before = Date::Now();
  log.StartLog();
  EXPECT_TRUE(log.WriteStrLog(u"first message"));
  EXPECT_TRUE(log.WriteStrLog(u""));
  log.EndLog();
  const Date after = Date::Now();
  log.CloseFile();
  const std::u16string text = ReadText("log.txt");

  // The clock may tick during the test: accept the stamp of either moment.
  bool matched = false;
  for (Date when : {before, after}) {
    const std::u16string s = Stamp(when);
    if (text == u"--- New sesion ----- [" + s + u"] -------------------------------\r\n" + s +
                    u"  :  first message\r\n" + s + u"  :  \r\n--- End sesion ----- [" + s +
                    u"] -------------------------------\r\n") {
      matched = true;
    }
  }
  EXPECT_TRUE(matched) << U16ToUtf8(text);
}

TEST_F(CFileBackupTest, LogFollowsTheRegionalForms) {
  const RegionalSettings saved = RegionalSettings::Current();
  RegionalSettings::SetCurrent(RegionalSettings::EnUS());
  CFile log;
  Name(log, u"log.txt");
  const Date when = Date::Now();
  log.WriteStrLog(u"m");
  log.CloseFile();
  RegionalSettings::SetCurrent(saved);
  const std::u16string text = ReadText("log.txt");
  EXPECT_NE(text.find(u"/"), std::u16string::npos) << "en-US short date";
  EXPECT_TRUE(text.ends_with(u"  :  m\r\n"));
  EXPECT_GE(text.size(), Stamp(when).size());
}

TEST_F(CFileBackupTest, SaveFileAsBackupReplacesAnOlderBackup) {
  temp.WriteBytes("240131.mok.bak", "older backup\r\n");
  CFile file;
  Name(file, u"240131.mok");
  file.WriteStr(u"line");
  EXPECT_TRUE(file.SaveFileAsBackup());
  EXPECT_FALSE(file.FileIsOpen());
  EXPECT_EQ(file.FileName(), u"240131.mok.bak");
  EXPECT_FALSE(temp.Exists("240131.mok"));
  EXPECT_EQ(temp.ReadBytes("240131.mok.bak"), "line\r\n") << "buffered line flushed first";
  file.CloseFile();  // nothing left to close
  file.WriteStr(u"next");
  file.CloseFile();
  EXPECT_FALSE(temp.Exists("240131.mok.bak.bak"));
  EXPECT_EQ(temp.ReadBytes("240131.mok.bak"), "next\r\n") << "a new file under the new name";
}

TEST_F(CFileBackupTest, SaveFileAsBackupWithoutANameDoesNothing) {
  CFile file;
  file.SetPath(temp.u16path() + u"\\");
  file.SetFileName(u"a.txt");
  file.WriteStr(u"x");
  file.SetFileName(u"");
  EXPECT_FALSE(file.SaveFileAsBackup());
  EXPECT_TRUE(file.FileIsOpen());
}

TEST_F(CFileBackupTest, SaveFileAsBackupOfAMissingFileRaisesAfterClosing) {
  CFile file;
  Name(file, u"never.txt");
  file.CrFullName();
  EXPECT_RAISES(file.SaveFileAsBackup(), kErrFileNotFound);
  EXPECT_EQ(file.FileName(), u"never.txt");
}

TEST_F(CFileBackupTest, AttributesOfAFileAndOfNothing) {
  temp.WriteBytes("a.txt", "12345");
  CFile file;
  EXPECT_EQ(file.FileLenAttr(InFolder(temp, u"a.txt")), 5.0);
  struct stat st;
  ASSERT_EQ(::stat(temp.File("a.txt").c_str(), &st), 0);
  struct tm local;
  localtime_r(&st.st_mtime, &local);
  EXPECT_EQ(file.FileDateTimeAttr(InFolder(temp, u"a.txt")),
            Date::FromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                            local.tm_min, local.tm_sec));
  EXPECT_EQ(file.FileLenAttr(InFolder(temp, u"none.txt")), 0.0);
  EXPECT_EQ(file.FileDateTimeAttr(InFolder(temp, u"none.txt")), Date(0.0));
  EXPECT_EQ(file.FileDateTimeAttr(u""), Date(0.0));
}

class CopyFileTest : public CFileBackupTest {
 protected:
  void SetUp() override {
    temp.WriteBytes("src.txt", "source");
    source = InFolder(temp, u"src.txt");
    target = InFolder(temp, u"dst.txt");
  }
  CFile file;
  std::u16string source, target;
};

TEST_F(CopyFileTest, CopiesToAMissingTargetKeepingTheTime) {
  file.CopyFile(source, Date::Now(), 6, target);
  EXPECT_EQ(temp.ReadBytes("dst.txt"), "source");
  EXPECT_EQ(file.FileDateTimeAttr(target), file.FileDateTimeAttr(source));
}

TEST_F(CopyFileTest, TargetWithTheStatedLengthAndTimeIsLeftAlone) {
  temp.WriteBytes("dst.txt", "target");
  file.CopyFile(source, file.FileDateTimeAttr(target), 6, target);
  EXPECT_EQ(temp.ReadBytes("dst.txt"), "target");
}

TEST_F(CopyFileTest, TargetThatDiffersInLengthOrTimeIsReplaced) {
  temp.WriteBytes("dst.txt", "target");
  file.CopyFile(source, file.FileDateTimeAttr(target), 7, target);
  EXPECT_EQ(temp.ReadBytes("dst.txt"), "source");
  temp.WriteBytes("dst.txt", "target");
  file.CopyFile(source, Date(file.FileDateTimeAttr(target).serial() - 1.0), 6, target);
  EXPECT_EQ(temp.ReadBytes("dst.txt"), "source");
  EXPECT_TRUE(host->ErrorContextReports().empty());
}

TEST_F(CopyFileTest, FailureGoesToTheHostsErrorContext) {
  const std::u16string missing = InFolder(temp, u"none.txt");
  file.CopyFile(missing, Date::Now(), 1, target);
  ASSERT_EQ(host->ErrorContextReports().size(), 1u);
  EXPECT_EQ(host->ErrorContextReports()[0], u" : " + missing + u" " + target);
  EXPECT_FALSE(temp.Exists("dst.txt"));
  EXPECT_TRUE(host->Errors().empty());
}

TEST_F(CopyFileTest, CopyOntoItselfFailsWithoutHarm) {
  file.CopyFile(source, Date::Now(), 1, source);
  EXPECT_EQ(host->ErrorContextReports().size(), 1u);
  EXPECT_EQ(temp.ReadBytes("src.txt"), "source");
}

TEST_F(CFileBackupTest, MoveToTheDefaultBackupFolder) {
  temp.WriteBytes("a.txt", "A");
  CFile file;
  EXPECT_TRUE(file.MoveFileToBackup(InFolder(temp, u"a.txt")));
  EXPECT_FALSE(temp.Exists("a.txt"));
  EXPECT_EQ(temp.ReadBytes("BACKUP/a.txt"), "A");
  // Again, with the folder already there and an older copy inside.
  temp.WriteBytes("a.txt", "B");
  EXPECT_TRUE(file.MoveFileToBackup(InFolder(temp, u"a.txt")));
  EXPECT_EQ(temp.ReadBytes("BACKUP/a.txt"), "B");
}

TEST_F(CFileBackupTest, MoveToAGivenFolderWithEitherSeparator) {
  TempFolder other;
  temp.WriteBytes("a.txt", "A");
  temp.WriteBytes("b.txt", "B");
  CFile file;
  EXPECT_TRUE(file.MoveFileToBackup(InFolder(temp, u"a.txt"), other.u16path() + u"\\old"));
  EXPECT_EQ(other.ReadBytes("old/a.txt"), "A");
  EXPECT_TRUE(file.MoveFileToBackup(InFolder(temp, u"b.txt"), other.u16path() + u"/old/"));
  EXPECT_EQ(other.ReadBytes("old/b.txt"), "B");
}

TEST_F(CFileBackupTest, MoveWhereTheBackupFolderCannotBeMadeGivesFalse) {
  temp.WriteBytes("a.txt", "A");
  CFile file;
  EXPECT_FALSE(file.MoveFileToBackup(InFolder(temp, u"a.txt"), temp.u16path() + u"\\x\\y\\z"));
  EXPECT_TRUE(temp.Exists("a.txt"));
  EXPECT_FALSE(file.MoveFileToBackup(u""));
}

TEST_F(CFileBackupTest, MoveOfANameWithoutBackslashFailsAndKeepsTheFile) {
  ScopedCurrentDirectory cwd(temp.path());
  temp.WriteBytes("a.txt", "A");
  CFile file;
  // The copy target is the BACKUP folder itself.
  EXPECT_RAISES(file.MoveFileToBackup(u"a.txt"), kErrPathFileAccess);
  EXPECT_TRUE(temp.Exists("a.txt"));
  EXPECT_TRUE(temp.Exists("BACKUP"));
}

TEST_F(CFileBackupTest, MoveOfAMissingFileRaises53) {
  CFile file;
  EXPECT_RAISES(file.MoveFileToBackup(InFolder(temp, u"none.txt")), kErrFileNotFound);
}

}  // namespace
}  // namespace norv::testing
