// Sharing between openings of one file: a writer holds it alone, readers share
// it, appending shares everything; a refused opening changes nothing on disk
// and its backup leaves the holder's file alone. Two CFile objects stand for two
// programs: the locks belong to each opening, not to the process. And the
// process-wide pool of file numbers that all CFile objects share.
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "files/file_numbers.h"
#include "files/file_system.h"
#include "files_fixture.h"
#include "hostkit/lock_holders.h"
#include "runtime/text.h"

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

class FileNumbersTest : public FilesTest {
 protected:
  void SetUp() override { ASSERT_EQ(FileNumbers::InUse(), 0) << "a test leaked a number"; }

  std::unique_ptr<CFile> Opened(int i) {
    auto file = std::make_unique<CFile>();
    Name(*file, u"f" + IntToText(i) + u".txt");
    file->CrFile();
    return file;
  }
};

TEST_F(FileNumbersTest, LowestFreeNumberFirst) {
  EXPECT_EQ(FileNumbers::Take(), 1);
  EXPECT_EQ(FileNumbers::Take(), 2);
  EXPECT_EQ(FileNumbers::Take(), 3);
  FileNumbers::Release(2);
  EXPECT_EQ(FileNumbers::Take(), 2);
  FileNumbers::Release(1);
  FileNumbers::Release(1);  // twice: ignored
  FileNumbers::Release(0);  // not a number: ignored
  EXPECT_EQ(FileNumbers::Take(), 1);
  for (int16_t n : {1, 2, 3}) FileNumbers::Release(n);
}

TEST_F(FileNumbersTest, TwoHundredFiftyFiveObjectsThenTooManyFiles) {
  std::vector<std::unique_ptr<CFile>> files;
  for (int i = 0; i < 255; ++i) files.push_back(Opened(i));
  for (int i = 0; i < 300; ++i) files[0]->CrFile();  // reopening keeps its one number
  EXPECT_EQ(FileNumbers::InUse(), 255);

  CFile one_more;
  Name(one_more, u"extra.txt");
  EXPECT_RAISES(one_more.WriteStr(u"x"), kErrTooManyFiles);
  EXPECT_FALSE(one_more.FileIsOpen());
  EXPECT_FALSE(temp.Exists("extra.txt"));

  // Freeing one number in the middle lets the next object in.
  files[100]->CloseFile();
  EXPECT_TRUE(one_more.WriteStr(u"x"));
  EXPECT_RAISES(Opened(999), kErrTooManyFiles);
  files.clear();
  one_more.CloseFile();
  EXPECT_EQ(FileNumbers::InUse(), 0);
  EXPECT_EQ(temp.ReadBytes("extra.txt"), "x\r\n");
}

TEST_F(FileNumbersTest, ObjectsOnManyThreadsNeverShareANumber) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 500;
  std::vector<std::thread> threads;
  std::atomic<bool> clash{false};
  std::vector<std::atomic<int>> owners(256);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int r = 0; r < kRounds; ++r) {
        const int16_t n = FileNumbers::Take();
        if (owners[n].exchange(t + 1) != 0) clash = true;
        owners[n].store(0);
        FileNumbers::Release(n);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_FALSE(clash.load());
  EXPECT_EQ(FileNumbers::InUse(), 0);
}

}  // namespace
}  // namespace norv::testing
