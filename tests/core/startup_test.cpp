// Start-up once per host thread, object creation, and the dialogs' error report.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/cbankcl_vb.h"
#include "core/messages.h"
#include "host/host_library.h"
#include "runtime/com_error.h"
#include "support/recording_host.h"

namespace norv {
namespace {

using testing::RecordingHost;

struct ThreadOutcome {
  std::vector<std::u16string> modules;
  int startup_objects = 0;
  int message_windows = 0;
};

// A host thread: its own host library, two component objects and a direct Main.
ThreadOutcome RunHostThread() {
  ThreadOutcome outcome;
  auto library = std::make_shared<RecordingHost>();
  host::HostLibrary::Install(library);
  {
    CBankCl_VB first;
    CBankCl_VB second;
    Main();
  }
  outcome.modules = library->ResourceModules();
  outcome.startup_objects = library->StartupObjectsCreated();
  outcome.message_windows = library->MessageWindowsCreated();
  host::HostLibrary::Install(nullptr);
  return outcome;
}

TEST(Startup, MainRunsOncePerHostThread) {
  ThreadOutcome a, b;
  std::thread one([&] { a = RunHostThread(); });
  std::thread two([&] { b = RunHostThread(); });
  one.join();
  two.join();
  for (const ThreadOutcome* outcome : {&a, &b}) {
    EXPECT_EQ(outcome->modules, (std::vector<std::u16string>{u"NorvFormRes"}));
    EXPECT_EQ(outcome->startup_objects, 1);
    EXPECT_EQ(outcome->message_windows, 2);  // one per object
  }
}

TEST(Startup, ANewHostOnTheThreadGetsItsOwnStartUp) {
  for (int round = 0; round < 2; ++round) {
    testing::ScopedRecordingHost host;
    CBankCl_VB bank;
    EXPECT_EQ(host->ResourceModules(), (std::vector<std::u16string>{u"NorvFormRes"}));
    EXPECT_EQ(host->StartupObjectsCreated(), 1);
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

TEST(Startup, CreationMakesOneMessageWindowAndNoConverter) {
  testing::ScopedRecordingHost host;
  {
    CBankCl_VB bank;
    EXPECT_EQ(host->MessageWindowsCreated(), 1);
    EXPECT_EQ(host->LineConvertersCreated(), 0);
    EXPECT_TRUE(host->Releases().empty());
  }
  // A fresh object holds no converter and no dialog: only its message window goes.
  EXPECT_EQ(host->Releases(), (std::vector<std::u16string>{u"MessageWindow 1"}));
  EXPECT_TRUE(host->Errors().empty());
}

class ReportErrorTest : public ::testing::Test {
 protected:
  testing::ScopedRecordingHost host;
};

TEST_F(ReportErrorTest, ReachesShowPendingErrorOfANewHostApp) {
  ReportError(ComError(1103, u"btOk_Click", u"Nepavyko"));
  ReportError(ComError(kErrFileNotFound, u"", u"File not found"));
  ASSERT_EQ(host->Errors().size(), 2u);
  EXPECT_EQ(host->Errors()[0].number, 1103);
  EXPECT_EQ(host->Errors()[0].source, u"btOk_Click");
  EXPECT_EQ(host->Errors()[0].description, u"Nepavyko");
  EXPECT_EQ(host->Errors()[1].number, kErrFileNotFound);
  // Each report used its own HostApp, released when done.
  EXPECT_EQ(host->Releases(), (std::vector<std::u16string>{u"HostApp 1", u"HostApp 2"}));
}

TEST_F(ReportErrorTest, TrapErrorsSetsTheSourceAndKeepsGoing) {
  const bool finished =
      TrapErrors(u"LoadStatementDlg::btOk_Click", [] { RaiseRuntime(kErrFileNotFound); });
  EXPECT_FALSE(finished);
  ASSERT_EQ(host->Errors().size(), 1u);
  EXPECT_EQ(host->Errors()[0].number, kErrFileNotFound);
  EXPECT_EQ(host->Errors()[0].source, u"LoadStatementDlg::btOk_Click");
  EXPECT_EQ(host->Errors()[0].description, RuntimeErrorDescription(kErrFileNotFound));
}

TEST_F(ReportErrorTest, TrapErrorsWithoutSourceKeepsTheErrorsOwn) {
  EXPECT_FALSE(TrapErrors(u"", [] { throw ComError(5, u"CBrowsePath::Init", u"x"); }));
  ASSERT_EQ(host->Errors().size(), 1u);
  EXPECT_EQ(host->Errors()[0].source, u"CBrowsePath::Init");
}

TEST_F(ReportErrorTest, TrapErrorsReportsNothingOnSuccess) {
  int ran = 0;
  EXPECT_TRUE(TrapErrors(u"btOk_Click", [&] { ++ran; }));
  EXPECT_EQ(ran, 1);
  EXPECT_TRUE(host->Errors().empty());
}

TEST_F(ReportErrorTest, TrapErrorsLetsOtherFailuresThrough) {
  EXPECT_THROW(TrapErrors(u"btOk_Click", [] { throw std::logic_error("bug"); }), std::logic_error);
  EXPECT_TRUE(host->Errors().empty());
}

}  // namespace
}  // namespace norv
