// Each failure of the file system reaches the caller as its runtime error, and
// nothing is half-written without the caller having been told.
#include <cerrno>
#include <string>

#include "files/buffered_file.h"
#include "files/cfile.h"
#include "files/fault_injecting_file_system.h"
#include "files/file_numbers.h"
#include "files_fixture.h"
#include "runtime/text.h"

namespace norv::testing {
namespace {

class FaultInjectionTest : public ::testing::Test {
 protected:
  void Name(CFile& file, const std::u16string& name) {
    file.SetPath(temp.u16path());
    file.SetFileName(name);
  }

  ScopedRecordingHost host;
  TempFolder temp;
  FaultInjectingFileSystem faults;
  ScopedFileSystem installed{faults};
};

struct ErrnoCase {
  const char* name;
  int errno_value;
  int32_t number;
};

class ErrnoMappingTest : public FaultInjectionTest,
                         public ::testing::WithParamInterface<ErrnoCase> {};

TEST_P(ErrnoMappingTest, CreatingTheFileRaisesTheMappedNumber) {
  faults.FailNth(FileOp::kOpenWrite, 1, GetParam().errno_value);
  CFile file;
  Name(file, u"a.txt");
  EXPECT_RAISES(file.WriteStr(u"x"), GetParam().number);
  EXPECT_FALSE(temp.Exists("a.txt"));
  EXPECT_TRUE(file.FileIsOpen()) << "the number stays taken";
  file.CloseFile();
  EXPECT_TRUE(file.WriteStr(u"x")) << "the fault was for one call";
  file.CloseFile();
  EXPECT_EQ(temp.ReadBytes("a.txt"), "x\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Errnos, ErrnoMappingTest,
    ::testing::Values(ErrnoCase{"ENOENT_FolderThere", ENOENT, kErrFileNotFound},
                      ErrnoCase{"ENOTDIR", ENOTDIR, kErrPathNotFound},
                      ErrnoCase{"EACCES", EACCES, kErrPermissionDenied},
                      ErrnoCase{"EPERM", EPERM, kErrPermissionDenied},
                      ErrnoCase{"EROFS", EROFS, kErrPermissionDenied},
                      ErrnoCase{"ENOSPC", ENOSPC, kErrDiskFull},
                      ErrnoCase{"EDQUOT", EDQUOT, kErrDiskFull},
                      ErrnoCase{"EIO", EIO, kErrDeviceIo},
                      ErrnoCase{"EMFILE", EMFILE, kErrTooManyFiles},
                      ErrnoCase{"ENFILE", ENFILE, kErrTooManyFiles},
                      ErrnoCase{"EISDIR", EISDIR, kErrPathFileAccess},
                      ErrnoCase{"EBUSY", EBUSY, kErrPathFileAccess}),
    [](const ::testing::TestParamInfo<ErrnoCase>& info) { return std::string(info.param.name); });

TEST_F(FaultInjectionTest, MissingFileAndMissingFolderAreTold) {
  EXPECT_RAISES(RaiseFileError(ENOENT, InFolder(temp, u"none.txt")), kErrFileNotFound);
  EXPECT_RAISES(RaiseFileError(ENOENT, temp.u16path() + u"\\no\\none.txt"), kErrPathNotFound);
  EXPECT_RAISES(RaiseFileError(ENOENT, temp.u16path() + u"/no/none.txt"), kErrPathNotFound);
}

TEST_F(FaultInjectionTest, OpeningsForReadingAndAppending) {
  temp.WriteBytes("a.txt", "x\r\n");
  CFile file;
  std::u16string name = InFolder(temp, u"a.txt");
  faults.FailNth(FileOp::kOpenRead, 1, EACCES);
  EXPECT_RAISES(file.OpenFile(name), kErrPermissionDenied);
  faults.FailNth(FileOp::kOpenAppend, 1, EROFS);
  EXPECT_RAISES(file.OpenFileForAppend(name), kErrPermissionDenied);
  file.CloseFile();
  EXPECT_EQ(FileNumbers::InUse(), 0);
  EXPECT_EQ(temp.ReadBytes("a.txt"), "x\r\n");
}

TEST_F(FaultInjectionTest, BufferedLinesThatCannotBeWrittenFailTheClose) {
  CFile file;
  Name(file, u"a.txt");
  file.WriteStr(u"one");
  file.WriteStr(u"two");
  faults.FailNth(FileOp::kWrite, 1, ENOSPC);
  EXPECT_RAISES(file.CloseFile(), kErrDiskFull);
  EXPECT_FALSE(file.FileIsOpen());
  EXPECT_EQ(FileNumbers::InUse(), 0);
  EXPECT_EQ(faults.Calls(FileOp::kClose), 1) << "the handle is closed all the same";
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

TEST_F(FaultInjectionTest, AFailingCloseIsRaisedAfterTheDataIsOut) {
  CFile file;
  Name(file, u"a.txt");
  file.WriteStr(u"line");
  faults.FailNth(FileOp::kClose, 1, EIO);
  EXPECT_RAISES(file.CloseFile(), kErrDeviceIo);
  EXPECT_FALSE(file.FileIsOpen());
  EXPECT_EQ(temp.ReadBytes("a.txt"), "line\r\n");
}

TEST_F(FaultInjectionTest, TeardownReportsWhatItCannotRaise) {
  {
    CFile file;
    Name(file, u"a.txt");
    file.WriteStr(u"line");
    faults.FailNth(FileOp::kWrite, 1, ENOSPC);
  }
  ASSERT_EQ(host->Errors().size(), 1u);
  EXPECT_EQ(host->Errors()[0].number, kErrDiskFull);
  EXPECT_EQ(FileNumbers::InUse(), 0);
}

TEST_F(FaultInjectionTest, AReadFailureRaises) {
  temp.WriteBytes("a.txt", "x\r\n");
  CFile file;
  std::u16string name = InFolder(temp, u"a.txt");
  file.OpenFile(name);
  faults.FailNth(FileOp::kRead, 1, EIO);
  std::u16string line = u"kept";
  EXPECT_RAISES(file.ReadStr(line), kErrDeviceIo);
  EXPECT_EQ(line, u"kept");
}

TEST_F(FaultInjectionTest, TheCurrentDirectoryThatCannotBeReadRaises) {
  faults.FailNth(FileOp::kCurrentDirectory, 1, EACCES);
  CFile file;
  file.SetFileName(u"a.txt");
  EXPECT_RAISES(file.CrFullName(), kErrPermissionDenied);
  EXPECT_EQ(faults.Calls(FileOp::kCurrentDirectory), 1);
}

TEST_F(FaultInjectionTest, BackupRenameFailureLeavesTheNameAndTheFile) {
  CFile file;
  Name(file, u"a.mok");
  file.WriteStr(u"x");
  faults.FailNth(FileOp::kRename, 1, EACCES);
  EXPECT_RAISES(file.SaveFileAsBackup(), kErrPermissionDenied);
  EXPECT_FALSE(file.FileIsOpen());
  EXPECT_EQ(file.FileName(), u"a.mok");
  EXPECT_EQ(temp.ReadBytes("a.mok"), "x\r\n");
}

TEST_F(FaultInjectionTest, BackupIgnoresAFailingDeletionOfTheOldBackup) {
  temp.WriteBytes("a.mok.bak", "old");
  CFile file;
  Name(file, u"a.mok");
  file.WriteStr(u"x");
  faults.FailNth(FileOp::kDelete, 1, EACCES);
  EXPECT_TRUE(file.SaveFileAsBackup());
  EXPECT_EQ(temp.ReadBytes("a.mok.bak"), "x\r\n");
}

TEST_F(FaultInjectionTest, AttributesAnswerZeroForAnyFailure) {
  temp.WriteBytes("a.txt", "abc");
  CFile file;
  faults.FailNth(FileOp::kFileTime, 1, EIO);
  faults.FailNth(FileOp::kFileLength, 1, EIO);
  EXPECT_EQ(file.FileDateTimeAttr(InFolder(temp, u"a.txt")), Date(0.0));
  EXPECT_EQ(file.FileLenAttr(InFolder(temp, u"a.txt")), 0.0);
  EXPECT_EQ(file.FileLenAttr(InFolder(temp, u"a.txt")), 3.0);
}

TEST_F(FaultInjectionTest, CopyFailureIsReportedNotRaised) {
  temp.WriteBytes("src.txt", "abc");
  CFile file;
  faults.FailNth(FileOp::kCopy, 1, ENOSPC);
  file.CopyFile(InFolder(temp, u"src.txt"), Date::Now(), 3, InFolder(temp, u"dst.txt"));
  EXPECT_EQ(host->ErrorContextReports().size(), 1u);
  EXPECT_FALSE(temp.Exists("dst.txt"));
}

TEST_F(FaultInjectionTest, MoveWithAFailingCopyKeepsTheSource) {
  temp.WriteBytes("a.txt", "A");
  CFile file;
  faults.FailNth(FileOp::kCopy, 1, ENOSPC);
  EXPECT_RAISES(file.MoveFileToBackup(InFolder(temp, u"a.txt")), kErrDiskFull);
  EXPECT_EQ(temp.ReadBytes("a.txt"), "A");
}

TEST_F(FaultInjectionTest, MoveWithAFailingDeletionLeavesBothCopies) {
  temp.WriteBytes("a.txt", "A");
  CFile file;
  faults.FailNth(FileOp::kDelete, 1, EACCES);
  EXPECT_RAISES(file.MoveFileToBackup(InFolder(temp, u"a.txt")), kErrPermissionDenied);
  EXPECT_EQ(temp.ReadBytes("a.txt"), "A");
  EXPECT_EQ(temp.ReadBytes("BACKUP/a.txt"), "A");
}

TEST_F(FaultInjectionTest, MoveIgnoresAFailedFolderCreationWhenTheFolderIsThere) {
  temp.WriteBytes("a.txt", "A");
  faults.FailAlways(FileOp::kCreateFolder, EACCES);
  CFile file;
  EXPECT_FALSE(file.MoveFileToBackup(InFolder(temp, u"a.txt")));
  EXPECT_TRUE(temp.Exists("a.txt"));
  ASSERT_EQ(::mkdir(temp.File("BACKUP").c_str(), 0777), 0);
  EXPECT_TRUE(file.MoveFileToBackup(InFolder(temp, u"a.txt")));
  EXPECT_EQ(temp.ReadBytes("BACKUP/a.txt"), "A");
}

TEST_F(FaultInjectionTest, UnicodeStreamFailuresRaiseToo) {
  CFile file;
  file.SetIsUnicode(true);
  Name(file, u"u.txt");
  faults.FailNth(FileOp::kOpenWrite, 1, ENOSPC);
  EXPECT_RAISES(file.WriteStr(u"x"), kErrDiskFull);
  EXPECT_FALSE(file.FileIsOpen());
  file.WriteStr(u"x");
  faults.FailNth(FileOp::kWrite, 1, EIO);
  EXPECT_RAISES(file.CloseFile(), kErrDeviceIo);
  EXPECT_FALSE(file.FileIsOpen());
}

}  // namespace
}  // namespace norv::testing
