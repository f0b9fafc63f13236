#pragma once

#include <array>
#include <cstdint>

#include "framework/plugin/MidiMessage.h"

namespace velmora {

// Host events that no block has played yet: the ones a host hands over
// before its process call (VST 2.4), and those of blocks that went out
// without the plug-in lock. A fixed ring, in arrival order; nothing here
// allocates. Events of a block that went out without them are late: they
// come out at frame 0 of the next block that plays, before its own.
//
// Threads: [processing] only, without the lock. The processing thread both
// fills and empties it, so it needs no synchronisation of its own.
class HostEventRing {
 public:
  static constexpr uint32_t kCapacity = 4096;
  // Room kept for note-offs once the ring is nearly full, so that what
  // sounds can still stop.
  static constexpr uint32_t kNoteOffReserve = 256;

  struct Event {
    // kNoteOn, kNoteOff: a note as a format with note ids names it; -1 in
    // channel, key or noteId stands for any.
    enum class Kind : uint8_t { kMidi, kParam, kNoteOn, kNoteOff };
    Kind kind = Kind::kMidi;
    int32_t frame = 0;
    MidiMessage midi;   // kMidi
    int32_t param = 0;  // kParam: the index and the value as the format gave it
    double value = 0.0; // kParam; the velocity of kNoteOn (0..1)
    int16_t channel = -1;
    int16_t key = -1;
    int32_t noteId = -1;
  };

  // False when there is no room (the event is dropped and counted).
  bool Push(const Event& event);
  // The oldest event; a late one comes with frame 0.
  bool Pop(Event* event);
  // Every event held now belongs to a block that has gone out.
  void MarkLate() { mLateEnd = mTail; }
  bool Empty() const { return mHead == mTail; }
  uint32_t Size() const { return mTail - mHead; }
  uint64_t Dropped() const { return mDropped; }

 private:
  std::array<Event, kCapacity> mEvents{};
  uint32_t mHead = 0;  // free-running; wraps at 2^32, a multiple of the capacity
  uint32_t mTail = 0;
  uint32_t mLateEnd = 0;
  uint64_t mDropped = 0;
};

}  // namespace velmora
