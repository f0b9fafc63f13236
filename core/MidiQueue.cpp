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
  std::copy(entries_.get() + front_, entries_.get() + back_, fresh.get());
  back_ -= front_;
  front_ = 0;
  entries_ = std::move(fresh);
  capacity_ = entries;
  return true;
}

void MidiQueue::Compact() {
  if (front_ == 0) return;
  std::copy(entries_.get() + front_, entries_.get() + back_, entries_.get());
  back_ -= front_;
  front_ = 0;
}

bool MidiQueue::Grow() {
  if (growthStep_ <= 0) return false;
  const int64_t grown = int64_t{growthStep_} * (capacity_ / growthStep_ + 1);
  if (grown > kMaxCapacity) return false;
  return Reallocate(static_cast<int32_t>(grown));
}

// Whether entries more fit behind back_, compacting or growing when needed.
bool MidiQueue::MakeRoom(int32_t entries) {
  if (capacity_ - back_ >= entries) return true;
  Compact();
  if (capacity_ - back_ >= entries) return true;
  // Growth is by one step, taken only when the queue is full.
  return mGrowthAllowed && back_ == capacity_ && Grow();
}

bool MidiQueue::Enqueue(const MidiMessage& message) {
  const bool noteOn = (message.status & 0xF0) == 0x90 && message.data2 > 0;
  const int32_t entries = noteOn && !mGrowthAllowed ? 1 + kNoteOffReserve : 1;
  if (!MakeRoom(entries)) {
    ++dropped_;
    return false;
  }
  int32_t at = back_;
  // After all entries with an equal offset, so same-offset messages keep their order.
  while (at > front_ && entries_[at - 1].offset > message.offset) {
    entries_[at] = entries_[at - 1];
    --at;
  }
  entries_[at] = message;
  ++back_;
  return true;
}

void MidiQueue::ResizeForBlock(int frames) {
  Compact();
  int32_t n = RoundedEntries(frames);
  growthStep_ = n;
  if (n < back_) n = RoundedEntries(back_);
  if (n != capacity_) Reallocate(n);
}

}  // namespace velmora
