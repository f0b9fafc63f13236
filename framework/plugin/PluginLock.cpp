#include "framework/plugin/PluginLock.h"

#include "framework/plugin/Contracts.h"
#include "framework/plugin/CpuRelax.h"

namespace velmora {
namespace {

// Some tens of microseconds of spinning on current processors: longer than
// anyone holds the lock, shorter than a wasted time slice.
constexpr int kLockSpins = 2000;

}  // namespace

void PluginLock::lock() {  // NOLINT(readability-identifier-naming)
  YieldToProcessing();
  bool owned = mMutex.try_lock();
  for (int spin = 0; !owned && spin < kLockSpins; ++spin) {
    CpuRelax();
    owned = mMutex.try_lock();
  }
  if (!owned) mMutex.lock();
  TakeOwnership();
}

bool PluginLock::TryLockSpinning(int spins) {
  bool owned = mMutex.try_lock();
  if (!owned) {
    mProcessingTries.fetch_add(1, std::memory_order_acq_rel);
    for (int spin = 0; !owned && spin < spins; ++spin) {
      CpuRelax();
      owned = mMutex.try_lock();
    }
    mProcessingTries.fetch_sub(1, std::memory_order_acq_rel);
  }
  if (owned) TakeOwnership();
  return owned;
}

// Bounded like the processing thread's own spin, so that a thread already
// holding the lock and taking it again loses no more than that.
void PluginLock::YieldToProcessing() const {
  for (int spin = 0; spin < kLockSpins && mProcessingTries.load(std::memory_order_acquire) > 0; ++spin) CpuRelax();
}

bool PluginLock::try_lock() {  // NOLINT(readability-identifier-naming)
  if (!mMutex.try_lock()) return false;
  TakeOwnership();
  return true;
}

void PluginLock::unlock() {  // NOLINT(readability-identifier-naming)
  if constexpr (kContractChecks) {
    if (--mDepth == 0) mOwner.store(std::thread::id(), std::memory_order_relaxed);
  }
  mMutex.unlock();
}

void PluginLock::TakeOwnership() {
  if constexpr (kContractChecks) {
    if (mDepth++ == 0) mOwner.store(std::this_thread::get_id(), std::memory_order_relaxed);
  }
}

bool PluginLock::HeldByThisThread() const {
  return kContractChecks && mOwner.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

void PluginLock::AssertHeld() const { VELMORA_EXPECT(HeldByThisThread(), "the plug-in lock is not held"); }

}  // namespace velmora
