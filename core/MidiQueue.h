#pragma once

#include <cstdint>
#include <memory>

#include "framework/plugin/MidiMessage.h"

namespace velmora {

// The outgoing MIDI messages of one instance, pending until the next block
// sends them. Entries from front to back - 1 stay in ascending offset order.
//
// Threads: [any, under the plug-in lock]; no lock of its own. On the
// processing thread the room is fixed (FixedRoom): a full queue drops
// instead of allocating, and note-ons stop first, kNoteOffReserve entries
// early, so that the note-offs of what already sounds still fit.
class MidiQueue {
 public:
  static constexpr int32_t kInitialCapacity = 1024;
  static constexpr int32_t kInitialGrowthStep = 1024;
  static constexpr int32_t kBlockRounding = 512;
  // No block size or burst of auditions needs more; beyond it messages drop
  // rather than the allocation growing without bound.
  static constexpr int32_t kMaxCapacity = 1 << 20;
  // Room a note-on leaves free while the queue cannot grow: one note-off for
  // each of the 128 pitches.
  static constexpr int32_t kNoteOffReserve = 128;

  // The queue cannot grow while one lives: the processing thread's entries.
  class FixedRoom {
   public:
    explicit FixedRoom(MidiQueue& queue) : mQueue(queue), mWasAllowed(queue.mGrowthAllowed) {
      queue.mGrowthAllowed = false;
    }
    ~FixedRoom() { mQueue.mGrowthAllowed = mWasAllowed; }
    FixedRoom(const FixedRoom&) = delete;
    FixedRoom& operator=(const FixedRoom&) = delete;

   private:
    MidiQueue& mQueue;
    bool mWasAllowed;
  };

  MidiQueue();

  // False when the message was dropped (full and unable to grow); every drop
  // is counted.
  bool Enqueue(const MidiMessage& message);
  void ResizeForBlock(int frames);

  bool Empty() const { return mFront == mBack; }
  int32_t Pending() const { return mBack - mFront; }
  // The next message to send; only while not Empty().
  const MidiMessage& Front() const { return mEntries[mFront]; }
  void PopFront() { ++mFront; }
  // Pending entry i (0 is the front).
  const MidiMessage& At(int32_t i) const { return mEntries[mFront + i]; }
  // Moves the pending entries to the start of the array.
  void Compact();

  int32_t Capacity() const { return mCapacity; }
  int32_t GrowthStep() const { return mGrowthStep; }
  int32_t FrontIndex() const { return mFront; }
  int32_t BackIndex() const { return mBack; }
  int64_t DroppedCount() const { return mDropped; }

 private:
  bool Reallocate(int32_t entries);
  bool MakeRoom(int32_t entries);
  bool Grow();

  std::unique_ptr<MidiMessage[]> mEntries;
  int32_t mCapacity = 0;
  int32_t mGrowthStep = kInitialGrowthStep;
  int32_t mFront = 0;
  int32_t mBack = 0;
  int64_t mDropped = 0;
  bool mGrowthAllowed = true;
};

}  // namespace velmora
