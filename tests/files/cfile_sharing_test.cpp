// Sharing between openings of one file: a writer holds it alone, readers share
// it, appending shares everything; a refused opening changes nothing on disk
// and its backup leaves the holder's file alone. Two CFile objects stand for two
// programs: the locks belong to each opening, not to the process.
#include <string>

#include "files/file_system.h"
#include "files_fixture.h"
#include "hostkit/lock_holders.h"

namespace norv::testing {
namespace {

enum class Open { kWrite, kRead, kAppend };

class CFileSharingTest : public FilesTest {
 protected:
  // Opens `file` on "a.txt" the way `how` says; the first line written creates.
  void OpenAs(CFile& file, Open how) {
    Name(file, u"a.txt");
    std::u16string name;
    if (how == Open::kWrite) file.WriteStr(u"first");
    if (how == Open::kRead) file.OpenFile(name);
    if (how == Open::kAppend) file.OpenFileForAppend(name);
  }
};

TEST_F(CFileSharingTest, ASecondOpeningIsRefusedOnlyWhereTheFirstDeniesIt) {
  const struct {
    Open first, second;
    bool refused;
  } cases[] = {
      {Open::kWrite, Open::kWrite, true},   {Open::kWrite, Open::kRead, true},
      {Open::kRead, Open::kWrite, true},    {Open::kRead, Open::kRead, false},
      {Open::kAppend, Open::kWrite, false}, {Open::kWrite, Open::kAppend, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << static_cast<int>(c.first) << " then " << static_cast<int>(c.second));
    temp.WriteBytes("a.txt", "kept\r\n");
    CFile first;
    OpenAs(first, c.first);
    const std::string held = temp.ReadBytes("a.txt");
    CFile second;
    if (c.refused) {
      EXPECT_RAISES(OpenAs(second, c.second), kErrPermissionDenied);
      EXPECT_EQ(temp.ReadBytes("a.txt"), held) << "a refused writer truncates nothing";
    } else {
      OpenAs(second, c.second);
    }
    second.CloseFile();
    first.CloseFile();
  }
}

TEST_F(CFileSharingTest, AFileBeingWrittenIsNotRenamedDeletedOrCopiedOver) {
  CFile writer;
  OpenAs(writer, Open::kWrite);
  writer.Flush();
  temp.WriteBytes("b.txt", "other");
  FileSystem& fs = FileSystem::Default();
  EXPECT_RAISES(fs.Rename(At(u"a.txt"), At(u"c.txt")), kErrPermissionDenied);
  EXPECT_RAISES(fs.Rename(At(u"b.txt"), At(u"a.txt")), kErrPermissionDenied);
  EXPECT_RAISES(fs.Delete(At(u"a.txt")), kErrPermissionDenied);
  EXPECT_RAISES(fs.Copy(At(u"b.txt"), At(u"a.txt")), kErrPermissionDenied);
  EXPECT_EQ(temp.ReadBytes("a.txt"), "first\r\n");
  EXPECT_EQ(hostkit::ProcessesLockingFile(ToPosixPath(At(u"a.txt"))),
            std::vector<long>{static_cast<long>(getpid())});
  writer.CloseFile();
  EXPECT_TRUE(hostkit::ProcessesLockingFile(ToPosixPath(At(u"a.txt"))).empty());
  fs.Rename(At(u"a.txt"), At(u"c.txt"));  // free again
  EXPECT_EQ(temp.ReadBytes("c.txt"), "first\r\n");
}

TEST_F(CFileSharingTest, TheBackupOfARefusedOpeningLeavesTheHoldersFile) {
  CFile holder;
  OpenAs(holder, Open::kWrite);
  temp.WriteBytes("a.txt.bak", "older backup");
  CFile refused;
  EXPECT_RAISES(OpenAs(refused, Open::kWrite), kErrPermissionDenied);
  EXPECT_TRUE(refused.FileIsOpen()) << "the number stays taken";
  holder.CloseFile();  // even once the holder is done, its file is not ours
  EXPECT_FALSE(refused.SaveFileAsBackup());
  EXPECT_FALSE(refused.FileIsOpen());
  EXPECT_EQ(refused.FileName(), u"a.txt");
  EXPECT_EQ(temp.ReadBytes("a.txt"), "first\r\n");
  EXPECT_EQ(temp.ReadBytes("a.txt.bak"), "older backup");
}

}  // namespace
}  // namespace norv::testing
