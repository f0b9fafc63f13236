#pragma once

#include <atomic>
#include <mutex>
#include <thread>

namespace velmora {

// The plug-in's one re-entrant lock. A waiter first spins a while: everyone
// holds it for microseconds, and being put to sleep and woken again costs
// more than the wait itself. The processing thread never waits: it tries
// for a bounded spin (TryLockSpinning), and while it does, every other
// thread lets it go first. In checked builds the lock knows which thread
// holds it, so code that needs it can say so.
//
// Threads: [any]. lock/try_lock/unlock keep the standard names so that
// std::unique_lock takes it.
class PluginLock {
 public:
  void lock();  // NOLINT(readability-identifier-naming)
  bool try_lock();  // NOLINT(readability-identifier-naming)
  void unlock();  // NOLINT(readability-identifier-naming)
  // Tries for at most spins pauses and never sleeps: the processing
  // thread's way in, which must not wait for whoever holds the lock.
  bool TryLockSpinning(int spins);

  // Breaks the contract unless the calling thread holds the lock (checked
  // builds only).
  void AssertHeld() const;
  // Whether the calling thread holds it; always false in unchecked builds.
  bool HeldByThisThread() const;

 private:
  void TakeOwnership();
  void YieldToProcessing() const;

  std::recursive_mutex mMutex;
  std::atomic<std::thread::id> mOwner{};
  int mDepth = 0;  // the owner's nesting; only the owner touches it
  std::atomic<int> mProcessingTries{0};  // processing threads spinning for it
};

}  // namespace velmora
