// Each failure of the file system reaches the caller as its runtime error, and
// nothing is half-written without the caller having been told (the error of
// each errno at the creation is in tests/data/file_names).
#include <cerrno>
#include <string>

#include "files/buffered_file.h"
#include "files/cfile.h"
#include "files/file_numbers.h"
#include "files_fixture.h"
#include "support/fault_injecting_file_system.h"

namespace norv::testing {
namespace {

class FaultInjectionTest : public FilesTest {
 protected:
  FaultInjectingFileSystem faults;
  ScopedFileSystem installed{faults};
};

TEST_F(FaultInjectionTest, OpeningsReadingAndTheCurrentDirectory) {
  temp.WriteBytes("a.txt", "x\r\n");
  CFile file;
  std::u16string name = At(u"a.txt");
  faults.FailNth(FileOp::kOpenRead, 1, EACCES);
  EXPECT_RAISES(file.OpenFile(name), kErrPermissionDenied);
  faults.FailNth(FileOp::kOpenAppend, 1, EROFS);
  EXPECT_RAISES(file.OpenFileForAppend(name), kErrPermissionDenied);
  file.CloseFile();
  EXPECT_EQ(FileNumbers::InUse(), 0);
  EXPECT_EQ(temp.ReadBytes("a.txt"), "x\r\n");

  file.OpenFile(name);
  faults.FailNth(FileOp::kRead, 1, EIO);
  std::u16string line = u"kept";
  EXPECT_RAISES(file.ReadStr(line), kErrDeviceIo);
  EXPECT_EQ(line, u"kept");

  faults.FailNth(FileOp::kCurrentDirectory, 1, EACCES);
  CFile unnamed;
  unnamed.SetFileName(u"a.txt");
  EXPECT_RAISES(unnamed.CrFullName(), kErrPermissionDenied);
  EXPECT_EQ(faults.Calls(FileOp::kCurrentDirectory), 1);
}

TEST_F(FaultInjectionTest, FailuresAtTheCloseComeAfterTheHandleIsClosed) {
  for (const bool unicode : {false, true}) {
    CFile file;
    file.SetIsUnicode(unicode);
    Name(file, u"a.txt");
    file.WriteStr(u"one");
    const int closes = faults.Calls(FileOp::kClose);
    faults.FailNth(FileOp::kWrite, 1, ENOSPC);  // the buffered line cannot be written
    EXPECT_RAISES(file.CloseFile(), kErrDiskFull);
    EXPECT_FALSE(file.FileIsOpen());
    EXPECT_EQ(FileNumbers::InUse(), 0);
    EXPECT_EQ(faults.Calls(FileOp::kClose), closes + 1) << "the handle is closed all the same";
    faults.FailNth(FileOp::kOpenWrite, 1, ENOSPC);
    EXPECT_RAISES(file.WriteStr(u"x"), kErrDiskFull);
    EXPECT_EQ(file.FileIsOpen(), !unicode) << "an ANSI file keeps its number";
    file.CloseFile();
  }
  CFile file;
  Name(file, u"a.txt");

  file.WriteStr(u"line");
  faults.FailNth(FileOp::kClose, 1, EIO);
  EXPECT_RAISES(file.CloseFile(), kErrDeviceIo);
  EXPECT_FALSE(file.FileIsOpen());
  EXPECT_EQ(temp.ReadBytes("a.txt"), "line\r\n") << "the data is out before the failing close";
  {
    CFile doomed;
    Name(doomed, u"b.txt");
    doomed.WriteStr(u"line");
    faults.FailNth(FileOp::kWrite, 1, ENOSPC);
  }  // the teardown reports what it cannot raise
  ASSERT_EQ(host->Errors().size(), 1u);
  EXPECT_EQ(host->Errors()[0].number, kErrDiskFull);
  EXPECT_EQ(FileNumbers::InUse(), 0);
}

TEST_F(FaultInjectionTest, AWriteFailureSurfacesAtTheLineThatFlushesAndStays) {
  CFile file;
  Name(file, u"a.txt");
  const std::u16string line(1000, u'a');
  faults.FailNth(FileOp::kWrite, 2, EIO);  // the second flush of the buffer
  int written = 0;
  try {
    for (; written < 1000; ++written) file.WriteStr(line);
    ADD_FAILURE() << "no failure surfaced";
  } catch (const ComError& error) {
    EXPECT_EQ(error.number(), kErrDeviceIo);
  }
  // Every line before the failing one was accepted; the buffer is flushed
  // before a line that does not fit, so the disk holds whole lines: those of the
  // first flush.
  const size_t line_bytes = line.size() + 2;
  const size_t lines_per_flush = BufferedFile::kBufferSize / line_bytes;
  EXPECT_EQ(static_cast<size_t>(written), 2 * lines_per_flush);
  EXPECT_EQ(temp.ReadBytes("a.txt").size(), lines_per_flush * line_bytes);
  EXPECT_RAISES(file.WriteStr(line), kErrDeviceIo);  // the file stays failed
  file.CloseFile();  // the failure was told already; the close itself goes well
  EXPECT_FALSE(file.FileIsOpen());
}

TEST_F(FaultInjectionTest, BackupRenameFailsButAFailingOldBackupDeletionIsIgnored) {
  CFile file;
  Name(file, u"a.mok");
  file.WriteStr(u"x");
  faults.FailNth(FileOp::kRename, 1, EACCES);
  EXPECT_RAISES(file.SaveFileAsBackup(), kErrPermissionDenied);
  EXPECT_FALSE(file.FileIsOpen());
  EXPECT_EQ(file.FileName(), u"a.mok");
  EXPECT_EQ(temp.ReadBytes("a.mok"), "x\r\n");

  temp.WriteBytes("a.mok.bak", "old");
  faults.FailNth(FileOp::kDelete, 1, EACCES);
  EXPECT_TRUE(file.SaveFileAsBackup());
  EXPECT_EQ(temp.ReadBytes("a.mok.bak"), "x\r\n");
}

TEST_F(FaultInjectionTest, AttributesAnswerZeroAndCopyReportsForAnyFailure) {
  temp.WriteBytes("a.txt", "abc");
  CFile file;
  faults.FailNth(FileOp::kFileTime, 1, EIO);
  faults.FailNth(FileOp::kFileLength, 1, EIO);
  EXPECT_EQ(file.FileDateTimeAttr(At(u"a.txt")), Date(0.0));
  EXPECT_EQ(file.FileLenAttr(At(u"a.txt")), 0.0);
  EXPECT_EQ(file.FileLenAttr(At(u"a.txt")), 3.0);

  faults.FailNth(FileOp::kCopy, 1, ENOSPC);
  file.CopyFile(At(u"a.txt"), Date::Now(), 3, At(u"dst.txt"));
  EXPECT_EQ(host->ErrorContextReports().size(), 1u);
  EXPECT_FALSE(temp.Exists("dst.txt"));
}

TEST_F(FaultInjectionTest, MoveKeepsTheSourceWhenCopyOrDeletionFails) {
  temp.WriteBytes("a.txt", "A");
  CFile file;
  faults.FailNth(FileOp::kCopy, 1, ENOSPC);
  EXPECT_RAISES(file.MoveFileToBackup(At(u"a.txt")), kErrDiskFull);
  EXPECT_EQ(temp.ReadBytes("a.txt"), "A");
  faults.FailNth(FileOp::kDelete, 1, EACCES);
  EXPECT_RAISES(file.MoveFileToBackup(At(u"a.txt")), kErrPermissionDenied);
  EXPECT_EQ(temp.ReadBytes("a.txt"), "A");
  EXPECT_EQ(temp.ReadBytes("BACKUP/a.txt"), "A");
}

TEST_F(FaultInjectionTest, MoveIgnoresAFailedFolderCreationWhenTheFolderIsThere) {
  temp.WriteBytes("a.txt", "A");
  faults.FailAlways(FileOp::kCreateFolder, EACCES);
  CFile file;
  EXPECT_FALSE(file.MoveFileToBackup(At(u"a.txt")));
  EXPECT_TRUE(temp.Exists("a.txt"));
  ASSERT_EQ(::mkdir(temp.File("BACKUP").c_str(), 0777), 0);
  EXPECT_TRUE(file.MoveFileToBackup(At(u"a.txt")));
  EXPECT_EQ(temp.ReadBytes("BACKUP/a.txt"), "A");
}

}  // namespace
}  // namespace norv::testing
