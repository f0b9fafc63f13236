#include "framework/plugin/clap/ParamEditQueue.h"

namespace velmora {

// Indices run freely and wrap at 2^32, a multiple of the capacity.
static_assert((ParamEditQueue::kCapacity & (ParamEditQueue::kCapacity - 1)) == 0, "capacity is a power of two");

bool ParamEditQueue::Push(const Edit& edit) {
  const uint32_t tail = mTail.load(std::memory_order_relaxed);
  if (tail - mHead.load(std::memory_order_acquire) >= kCapacity) {
    mDropped.fetch_add(1, std::memory_order_relaxed);
    return false;
  }
  mEdits[tail % kCapacity] = edit;
  mTail.store(tail + 1, std::memory_order_release);
  return true;
}

bool ParamEditQueue::Pop(Edit* edit) {
  const uint32_t head = mHead.load(std::memory_order_relaxed);
  if (head == mTail.load(std::memory_order_acquire)) return false;
  *edit = mEdits[head % kCapacity];
  mHead.store(head + 1, std::memory_order_release);
  return true;
}

bool ParamEditQueue::Empty() const {
  return mHead.load(std::memory_order_acquire) == mTail.load(std::memory_order_acquire);
}

}  // namespace velmora
