#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace velmora {

// Keyboard presses waiting to be handled, in the order they were made. A tap
// shorter than a processing block must still mark its key, so a press stays
// here until someone takes it, however soon the button was released.
//
// Threads: Push from the editor's thread only (one producer, no lock, no
// allocation); Take with the plug-in lock held (the processing thread, or the
// editor's tick when no block comes), so takers never overlap.
class KeyPressQueue {
 public:
  static constexpr uint32_t kCapacity = 64;

  // False when full: more taps than anyone makes between two ticks.
  bool Push(int key) {
    const uint32_t tail = mTail.load(std::memory_order_relaxed);
    if (tail - mHead.load(std::memory_order_acquire) >= kCapacity) return false;
    mKeys[tail % kCapacity] = key;
    mTail.store(tail + 1, std::memory_order_release);
    return true;
  }

  // Hands every waiting press to handle(key), oldest first.
  template <typename Handle>
  void Take(Handle&& handle) {
    uint32_t head = mHead.load(std::memory_order_relaxed);
    const uint32_t tail = mTail.load(std::memory_order_acquire);
    while (head != tail) {
      const int key = mKeys[head % kCapacity];
      mHead.store(++head, std::memory_order_release);
      handle(key);
    }
  }

  bool Empty() const { return mHead.load(std::memory_order_acquire) == mTail.load(std::memory_order_acquire); }

 private:
  std::array<int, kCapacity> mKeys{};
  std::atomic<uint32_t> mHead{0};
  std::atomic<uint32_t> mTail{0};
};

}  // namespace velmora
