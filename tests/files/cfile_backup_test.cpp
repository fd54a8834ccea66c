// CFile's session log lines, backups, attributes, copies and moves.
#include <sys/stat.h>

#include <string>

#include "files/cfile.h"
#include "files_fixture.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv::testing {
namespace {

TEST_F(FilesTest, LogLinesInOrderInTheRegionalForms) {
  const RegionalSettings saved = RegionalSettings::Current();
  RegionalSettings::SetCurrent(RegionalSettings::EnUS());
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
  const std::u16string text = Utf8ToU16(temp.ReadBytes("log.txt"));  // ASCII only

  // The clock may tick during the test: accept the stamp of either moment.
  bool matched = false;
  for (Date when : {before, after}) {
    const RegionalSettings& regional = RegionalSettings::Current();
    const std::u16string s = regional.FormatShortDate(when) + u" " + regional.FormatLongTime(when);
    matched |= text == u"--- New sesion ----- [" + s + u"] -------------------------------\r\n" +
                           s + u"  :  first message\r\n" + s + u"  :  \r\n--- End sesion ----- [" +
                           s + u"] -------------------------------\r\n";
  }
  RegionalSettings::SetCurrent(saved);
  EXPECT_TRUE(matched) << U16ToUtf8(text);
  EXPECT_NE(text.find(u"/"), std::u16string::npos) << "en-US short date";
}

TEST_F(FilesTest, SaveFileAsBackupReplacesAnOlderBackup) {
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

TEST_F(FilesTest, SaveFileAsBackupWithoutANameOrAFile) {
  CFile file;
  file.SetPath(temp.u16path() + u"\\");
  file.SetFileName(u"a.txt");
  file.WriteStr(u"x");
  file.SetFileName(u"");
  EXPECT_FALSE(file.SaveFileAsBackup()) << "no name: nothing done";
  EXPECT_TRUE(file.FileIsOpen());

  CFile never;
  Name(never, u"never.txt");
  never.CrFullName();
  EXPECT_RAISES(never.SaveFileAsBackup(), kErrFileNotFound);
  EXPECT_EQ(never.FileName(), u"never.txt");
}

TEST_F(FilesTest, AttributesOfAFileAndOfNothing) {
  temp.WriteBytes("a.txt", "12345");
  CFile file;
  EXPECT_EQ(file.FileLenAttr(At(u"a.txt")), 5.0);
  struct stat st;
  ASSERT_EQ(::stat(temp.File("a.txt").c_str(), &st), 0);
  struct tm local;
  localtime_r(&st.st_mtime, &local);
  EXPECT_EQ(file.FileDateTimeAttr(At(u"a.txt")),
            Date::FromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                            local.tm_min, local.tm_sec));
  EXPECT_EQ(file.FileLenAttr(At(u"none.txt")), 0.0);
  EXPECT_EQ(file.FileDateTimeAttr(At(u"none.txt")), Date(0.0));
  EXPECT_EQ(file.FileDateTimeAttr(u""), Date(0.0));
}

TEST_F(FilesTest, CopyFileReplacesATargetThatDiffersInLengthOrTime) {
  temp.WriteBytes("src.txt", "source");
  const std::u16string source = At(u"src.txt"), target = At(u"dst.txt");
  CFile file;
  file.CopyFile(source, Date::Now(), 6, target);
  EXPECT_EQ(temp.ReadBytes("dst.txt"), "source");
  EXPECT_EQ(file.FileDateTimeAttr(target), file.FileDateTimeAttr(source)) << "time kept";

  temp.WriteBytes("dst.txt", "target");
  file.CopyFile(source, file.FileDateTimeAttr(target), 6, target);
  EXPECT_EQ(temp.ReadBytes("dst.txt"), "target") << "same length and time: left alone";
  file.CopyFile(source, file.FileDateTimeAttr(target), 7, target);
  EXPECT_EQ(temp.ReadBytes("dst.txt"), "source");
  temp.WriteBytes("dst.txt", "target");
  file.CopyFile(source, Date(file.FileDateTimeAttr(target).serial() - 1.0), 6, target);
  EXPECT_EQ(temp.ReadBytes("dst.txt"), "source");
  EXPECT_TRUE(host->ErrorContextReports().empty());
  // Failures go to the host's error context, raising nothing.
  file.CopyFile(At(u"none.txt"), Date::Now(), 1, At(u"new.txt"));
  ASSERT_EQ(host->ErrorContextReports().size(), 1u);
  EXPECT_EQ(host->ErrorContextReports()[0], u" : " + At(u"none.txt") + u" " + At(u"new.txt"));
  EXPECT_FALSE(temp.Exists("new.txt"));
  file.CopyFile(source, Date::Now(), 1, source);  // onto itself
  EXPECT_EQ(host->ErrorContextReports().size(), 2u);
  EXPECT_EQ(temp.ReadBytes("src.txt"), "source");
  EXPECT_TRUE(host->Errors().empty());
}

TEST_F(FilesTest, MoveToTheDefaultOrAGivenBackupFolder) {
  TempFolder other;
  CFile file;
  for (const char* contents : {"A", "B"}) {  // the second time over an older copy
    temp.WriteBytes("a.txt", contents);
    EXPECT_TRUE(file.MoveFileToBackup(At(u"a.txt")));
    EXPECT_FALSE(temp.Exists("a.txt"));
    EXPECT_EQ(temp.ReadBytes("BACKUP/a.txt"), contents);
  }
  temp.WriteBytes("a.txt", "A");
  temp.WriteBytes("b.txt", "B");
  EXPECT_TRUE(file.MoveFileToBackup(At(u"a.txt"), other.u16path() + u"\\old"));
  EXPECT_EQ(other.ReadBytes("old/a.txt"), "A");
  EXPECT_TRUE(file.MoveFileToBackup(At(u"b.txt"), other.u16path() + u"/old/"));
  EXPECT_EQ(other.ReadBytes("old/b.txt"), "B");
}

TEST_F(FilesTest, MoveFailuresKeepTheFile) {
  temp.WriteBytes("a.txt", "A");
  CFile file;
  // A backup folder that cannot be made.
  EXPECT_FALSE(file.MoveFileToBackup(At(u"a.txt"), temp.u16path() + u"\\x\\y\\z"));
  EXPECT_TRUE(temp.Exists("a.txt"));
  EXPECT_FALSE(file.MoveFileToBackup(u""));
  EXPECT_RAISES(file.MoveFileToBackup(At(u"none.txt")), kErrFileNotFound);
  // Without a "\" the copy target is the BACKUP folder itself.
  ScopedCurrentDirectory cwd(temp.path());
  EXPECT_RAISES(file.MoveFileToBackup(u"a.txt"), kErrPathFileAccess);
  EXPECT_TRUE(temp.Exists("a.txt"));
  EXPECT_TRUE(temp.Exists("BACKUP"));
}

}  // namespace
}  // namespace norv::testing
