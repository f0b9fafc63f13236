#include "framework/plugin/HostEventRing.h"

namespace velmora {

static_assert((HostEventRing::kCapacity & (HostEventRing::kCapacity - 1)) == 0, "capacity is a power of two");

namespace {

bool IsNoteOff(const HostEventRing::Event& event) {
  if (event.kind == HostEventRing::Event::Kind::kNoteOff) return true;
  if (event.kind != HostEventRing::Event::Kind::kMidi) return false;
  const int kind = event.midi.status >> 4;
  return kind == 0x8 || (kind == 0x9 && event.midi.data2 == 0);
}

}  // namespace

bool HostEventRing::Push(const Event& event) {
  const uint32_t room = kCapacity - Size();
  if (room == 0 || (room <= kNoteOffReserve && !IsNoteOff(event))) {
    ++mDropped;
    return false;
  }
  mEvents[mTail % kCapacity] = event;
  ++mTail;
  return true;
}

bool HostEventRing::Pop(Event* event) {
  if (Empty()) return false;
  *event = mEvents[mHead % kCapacity];
  // Unsigned distance: correct across the counters' wrap.
  if (mLateEnd - mHead - 1 < kCapacity) event->frame = 0;
  ++mHead;
  return true;
}

}  // namespace velmora
