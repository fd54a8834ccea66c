// Start-up once per host thread and per host, object creation, and the dialogs'
// error report.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "component/cbankcl_vb.h"
#include "core/messages.h"
#include "runtime/com_error.h"
#include "support/recording_host.h"

namespace norv {
namespace {

// Each host thread, and each new host on it, gets one start-up; an object holds
// one message window, no converter and no dialog, so only its window goes.
TEST(Startup, MainRunsOncePerHostAndHostThread) {
  std::vector<std::thread> threads;
  for (int thread = 0; thread < 2; ++thread) {
    threads.emplace_back([] {
      for (int round = 0; round < 2; ++round) {
        testing::ScopedRecordingHost host;
        {
          CBankCl_VB first, second;
          Main();
          EXPECT_EQ(host->ResourceModules(), (std::vector<std::u16string>{u"NorvFormRes"}));
          // One start-up object, one message window per object, no converter.
          EXPECT_EQ(std::tuple(host->StartupObjectsCreated(), host->MessageWindowsCreated(),
                               host->LineConvertersCreated()),
                    std::tuple(1, 2, 0));
        }
        EXPECT_EQ(host->Releases(),
                  (std::vector<std::u16string>{u"MessageWindow 2", u"MessageWindow 1"}));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::thread([] {  // a thread without a host library
    try {
      CBankCl_VB bank;
      ADD_FAILURE() << "an object was created without a host library";
    } catch (const ComError& error) {
      EXPECT_EQ(error.number(), kErrObjectNotSet);
    }
  })
      .join();
}

// A trap reports a ComError through a HostApp of its own, with the trap's source
// when it has one (the dialogs' tests hold the reports of their handlers).
TEST(ReportError, TrapErrorsKeepsTheErrorsSourceWithoutItsOwnAndPassesOtherFailuresOn) {
  testing::ScopedRecordingHost host;
  EXPECT_FALSE(TrapErrors(u"", [] { throw ComError(5, u"CBrowsePath::Init", u"x"); }));
  EXPECT_EQ(host->Releases(), (std::vector<std::u16string>{u"HostApp 1"}));
  ASSERT_EQ(host->Errors().size(), 1u);
  EXPECT_EQ(host->Errors()[0].source, u"CBrowsePath::Init");
  int ran = 0;
  EXPECT_TRUE(TrapErrors(u"btOk_Click", [&] { ++ran; }));
  EXPECT_EQ(ran, 1);
  EXPECT_THROW(TrapErrors(u"btOk_Click", [] { throw std::logic_error("bug"); }), std::logic_error);
  EXPECT_EQ(host->Errors().size(), 1u);
}

}  // namespace
}  // namespace norv
