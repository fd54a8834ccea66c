// Start-up once per host thread, object creation, and the dialogs' error report.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "component/cbankcl_vb.h"
#include "core/messages.h"
#include "host/host_library.h"
#include "runtime/com_error.h"
#include "support/recording_host.h"

namespace norv {
namespace {

// Each host thread installs its own host library, makes two objects and calls Main itself.
TEST(Startup, MainRunsOncePerHostThread) {
  std::shared_ptr<testing::RecordingHost> libraries[2];
  std::vector<std::thread> threads;
  for (auto& library : libraries) {
    threads.emplace_back([&library] {
      library = std::make_shared<testing::RecordingHost>();
      host::HostLibrary::Install(library);
      {
        CBankCl_VB first, second;
        Main();
      }
      host::HostLibrary::Install(nullptr);
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const auto& library : libraries) {
    EXPECT_EQ(library->ResourceModules(), (std::vector<std::u16string>{u"NorvFormRes"}));
    EXPECT_EQ(library->StartupObjectsCreated(), 1);
    EXPECT_EQ(library->MessageWindowsCreated(), 2);  // one per object
  }
}

TEST(Startup, ObjectWithoutHostRaisesObjectNotSet) {
  std::thread bare([] {
    try {
      CBankCl_VB bank;
      ADD_FAILURE() << "an object was created without a host library";
    } catch (const ComError& error) {
      EXPECT_EQ(error.number(), kErrObjectNotSet);
    }
  });
  bare.join();
}

// Each new host on the thread gets its own start-up; a fresh object holds one
// message window, no converter and no dialog, so only its window goes.
TEST(Startup, ANewHostOnTheThreadGetsItsOwnStartUpAndAFreshObject) {
  for (int round = 0; round < 2; ++round) {
    testing::ScopedRecordingHost host;
    {
      CBankCl_VB bank;
      EXPECT_EQ(host->ResourceModules(), (std::vector<std::u16string>{u"NorvFormRes"}));
      EXPECT_EQ(host->StartupObjectsCreated(), 1);
      EXPECT_EQ(host->MessageWindowsCreated(), 1);
      EXPECT_EQ(host->LineConvertersCreated(), 0);
    }
    EXPECT_EQ(host->Releases(), (std::vector<std::u16string>{u"MessageWindow 1"}));
  }
}

// Each report goes to ShowPendingError of a HostApp of its own, released when done.
TEST(ReportError, ReachesTheHostAndTrapErrorsSetsTheSource) {
  testing::ScopedRecordingHost host;
  ReportError(ComError(1103, u"btOk_Click", u"Nepavyko"));
  EXPECT_EQ(host->Releases(), (std::vector<std::u16string>{u"HostApp 1"}));
  EXPECT_FALSE(TrapErrors(u"LoadStatementDlg::btOk_Click", [] { RaiseRuntime(kErrFileNotFound); }));
  // Without a source of its own the trap keeps the error's.
  EXPECT_FALSE(TrapErrors(u"", [] { throw ComError(5, u"CBrowsePath::Init", u"x"); }));
  int ran = 0;
  EXPECT_TRUE(TrapErrors(u"btOk_Click", [&] { ++ran; }));
  EXPECT_EQ(ran, 1);
  EXPECT_THROW(TrapErrors(u"btOk_Click", [] { throw std::logic_error("bug"); }), std::logic_error);
  ASSERT_EQ(host->Errors().size(), 3u);
  EXPECT_EQ(host->Errors()[0].number, 1103);
  EXPECT_EQ(host->Errors()[0].source, u"btOk_Click");
  EXPECT_EQ(host->Errors()[0].description, u"Nepavyko");
  EXPECT_EQ(host->Errors()[1].number, kErrFileNotFound);
  EXPECT_EQ(host->Errors()[1].source, u"LoadStatementDlg::btOk_Click");
  EXPECT_EQ(host->Errors()[1].description, RuntimeErrorDescription(kErrFileNotFound));
  EXPECT_EQ(host->Errors()[2].source, u"CBrowsePath::Init");
}

}  // namespace
}  // namespace norv
