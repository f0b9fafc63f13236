#include "core/MidiQueue.h"

#include <algorithm>
#include <new>

namespace velmora {
namespace {

// frames rounded up to whole 512-entry steps, at least one step, at most the
// queue's bound; a host announcing 0 or a negative block size must not leave
// the queue without room.
int32_t RoundedEntries(int64_t frames) {
  const int64_t step = MidiQueue::kBlockRounding;
  const int64_t steps = std::max<int64_t>(1, (frames + step - 1) / step);
  return static_cast<int32_t>(std::min<int64_t>(steps * step, MidiQueue::kMaxCapacity));
}

}  // namespace

MidiQueue::MidiQueue() {
  // Without the first array the queue starts empty-handed and grows on first use.
  Reallocate(kInitialCapacity);
}

bool MidiQueue::Reallocate(int32_t entries) {
  std::unique_ptr<MidiMessage[]> fresh(new (std::nothrow) MidiMessage[static_cast<size_t>(entries)]);
  if (!fresh) return false;
  std::copy(mEntries.get() + mFront, mEntries.get() + mBack, fresh.get());
  mBack -= mFront;
  mFront = 0;
  mEntries = std::move(fresh);
  mCapacity = entries;
  return true;
}

void MidiQueue::Compact() {
  if (mFront == 0) return;
  std::copy(mEntries.get() + mFront, mEntries.get() + mBack, mEntries.get());
  mBack -= mFront;
  mFront = 0;
}

bool MidiQueue::Grow() {
  if (mGrowthStep <= 0) return false;
  const int64_t grown = int64_t{mGrowthStep} * (mCapacity / mGrowthStep + 1);
  if (grown > kMaxCapacity) return false;
  return Reallocate(static_cast<int32_t>(grown));
}

// Whether entries more fit behind the back, compacting or growing when needed.
bool MidiQueue::MakeRoom(int32_t entries) {
  if (mCapacity - mBack >= entries) return true;
  Compact();
  if (mCapacity - mBack >= entries) return true;
  // Growth is by one step, taken only when the queue is full.
  return mGrowthAllowed && mBack == mCapacity && Grow();
}

bool MidiQueue::Enqueue(const MidiMessage& message) {
  const bool noteOn = (message.status & 0xF0) == 0x90 && message.data2 > 0;
  const int32_t entries = noteOn && !mGrowthAllowed ? 1 + kNoteOffReserve : 1;
  if (!MakeRoom(entries)) {
    ++mDropped;
    return false;
  }
  int32_t at = mBack;
  // After all entries with an equal offset, so same-offset messages keep their order.
  while (at > mFront && mEntries[at - 1].offset > message.offset) {
    mEntries[at] = mEntries[at - 1];
    --at;
  }
  mEntries[at] = message;
  ++mBack;
  return true;
}

void MidiQueue::ResizeForBlock(int frames) {
  Compact();
  int32_t n = RoundedEntries(frames);
  mGrowthStep = n;
  if (n < mBack) n = RoundedEntries(mBack);
  if (n != mCapacity) Reallocate(n);
}

}  // namespace velmora
