// The thread contracts, checked in test builds: a call made on the wrong
// thread, or without the lock it needs, is reported.
#include <atomic>
#include <thread>

#include "framework/plugin/Contracts.h"
#include "tests/editor/EditorTestSupport.h"

namespace velmora::test {
namespace {

std::atomic<int> gBreaches{0};
void CountBreach(const char* /*what*/) { ++gBreaches; }

class ThreadContractTest : public EditorTest {
 protected:
  ThreadContractTest() : mPrevious(SetContractBreachHandler(&CountBreach)) { gBreaches = 0; }
  ~ThreadContractTest() override { SetContractBreachHandler(mPrevious); }
  void SetUp() override {
    if (!kContractChecks) GTEST_SKIP() << "thread-contract checks are compiled out of this build";
  }

  ContractBreachHandler mPrevious;
};

TEST_F(ThreadContractTest, ProcessingOnTheEditorsThreadOrWithoutTheLockIsCaught) {
  host.Block();  // handed to a processing thread of its own, with the lock
  EXPECT_EQ(gBreaches, 0);
  {
    auto lock = host.Lock();
    host.ProcessBlock(nullptr, nullptr, 64);  // on the window's thread
  }
  EXPECT_EQ(gBreaches, 1);
  std::thread([&] { host.ProcessBlock(nullptr, nullptr, 64); }).join();  // no lock
  EXPECT_EQ(gBreaches, 2);
  // Once the window is closed, its thread may process again (an offline
  // render on the host's main thread, say).
  ui.CloseWindow();
  {
    auto lock = host.Lock();
    host.ProcessBlock(nullptr, nullptr, 64);
  }
  EXPECT_EQ(gBreaches, 2);
}

TEST_F(ThreadContractTest, AnEditorEntryOffTheEditorsThreadIsCaught) {
  Tick();
  EXPECT_EQ(gBreaches, 0);
  std::thread([&] { ui.OnTimerTick(); }).join();
  EXPECT_GE(gBreaches, 1);
}

}  // namespace
}  // namespace velmora::test
