#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "framework/plugin/PluginLock.h"

namespace velmora::test {

// Holds a plug-in's lock on a thread of its own, as a slow editor or host
// call would: from construction (which returns once it is held) for at
// least a while and until Release, or a few seconds at most, so that a
// block that waits for the lock fails the test instead of hanging it.
class LockHolder {
 public:
  explicit LockHolder(PluginLock& lock, std::chrono::milliseconds atLeast = std::chrono::milliseconds(100))
      : mThread([this, &lock, atLeast] { Hold(lock, atLeast); }) {
    std::unique_lock<std::mutex> guard(mMutex);
    mChanged.wait(guard, [this] { return mHeld; });
  }
  ~LockHolder() { Release(); }

  // Whether the lock is still held (false once the holder gave up waiting).
  bool Held() {
    std::lock_guard<std::mutex> guard(mMutex);
    return mHeld;
  }

  // Returns once the lock is free again.
  void Release() {
    {
      std::lock_guard<std::mutex> guard(mMutex);
      mMayRelease = true;
    }
    mChanged.notify_all();
    if (mThread.joinable()) mThread.join();
  }

 private:
  void Hold(PluginLock& lock, std::chrono::milliseconds atLeast) {
    std::lock_guard<PluginLock> held(lock);
    std::unique_lock<std::mutex> guard(mMutex);
    mHeld = true;
    mChanged.notify_all();
    mChanged.wait_for(guard, atLeast, [] { return false; });
    mChanged.wait_for(guard, std::chrono::seconds(5), [this] { return mMayRelease; });
    mHeld = false;
  }

  std::mutex mMutex;
  std::condition_variable mChanged;
  bool mHeld = false;
  bool mMayRelease = false;
  std::thread mThread;
};

}  // namespace velmora::test
