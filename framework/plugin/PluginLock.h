#pragma once

#include <atomic>
#include <mutex>
#include <thread>

namespace velmora {

// The plug-in's one re-entrant lock. A waiter first spins a while: everyone
// holds it for microseconds, and being put to sleep and woken again can
// cost the processing thread far more than the wait itself. In checked
// builds it knows which thread holds it, so code that needs it can say so.
//
// Threads: [any]. lock/try_lock/unlock keep the standard names so that
// std::unique_lock takes it.
class PluginLock {
 public:
  void lock();  // NOLINT(readability-identifier-naming)
  bool try_lock();  // NOLINT(readability-identifier-naming)
  void unlock();  // NOLINT(readability-identifier-naming)

  // Breaks the contract unless the calling thread holds the lock (checked
  // builds only).
  void AssertHeld() const;
  // Whether the calling thread holds it; always false in unchecked builds.
  bool HeldByThisThread() const;

 private:
  void TakeOwnership();

  std::recursive_mutex mMutex;
  std::atomic<std::thread::id> mOwner{};
  int mDepth = 0;  // the owner's nesting; only the owner touches it
};

}  // namespace velmora
