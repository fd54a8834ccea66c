// The process-wide pool of file numbers as many CFile objects share it.
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "files/cfile.h"
#include "files/file_numbers.h"
#include "files_fixture.h"
#include "runtime/text.h"

namespace norv::testing {
namespace {

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
