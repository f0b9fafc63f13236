#include "core/ChordAuditions.h"

#include <algorithm>
#include <limits>

namespace velmora {
namespace {

constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kNoteOff = 0x80;

MidiMessage Note(uint8_t status, int note, int velocity, int32_t offset) {
  MidiMessage message;
  message.offset = offset;
  message.status = status;
  message.data1 = static_cast<uint8_t>(note);
  message.data2 = static_cast<uint8_t>(velocity);
  return message;
}

}  // namespace

int ChordAuditions::FindSounding(const Voicing& v) const {
  // The last equal one: a release takes out the most recent start.
  for (int i = mSoundingCount - 1; i >= 0; --i) {
    if (mSounding[static_cast<size_t>(i)] == v) return i;
  }
  return -1;
}

void ChordAuditions::RemoveSounding(int index) {
  std::copy(mSounding.begin() + index + 1, mSounding.begin() + mSoundingCount, mSounding.begin() + index);
  --mSoundingCount;
}

bool ChordAuditions::Accept(const Voicing& v) {
  if (FindSounding(v) >= 0) return false;
  if (v.empty()) return true;
  if (mSoundingCount == kMaxSounding) {
    const Voicing oldest = mSounding[0];
    Release(oldest);
  }
  mSounding[static_cast<size_t>(mSoundingCount++)] = v;
  return true;
}

void ChordAuditions::QueueNoteOns(const Voicing& v, int velocity) {
  // MIDI data bytes are seven bits.
  velocity = std::clamp(velocity, 0, 127);
  bool retrigger = false;
  for (int n : v) {
    int32_t& heldBack = mHeldBackOffs[static_cast<size_t>(n)];
    if (mNoteOnState[static_cast<size_t>(n)] || heldBack > 0) {
      // The earlier note ends here, and this one strikes a frame later; an
      // earlier note-on still waiting for frame 1 is not overtaken.
      const int32_t offset = mLateNoteOn[static_cast<size_t>(n)] ? 1 : 0;
      for (int32_t i = std::max(heldBack, 1); i > 0; --i) mQueue.Enqueue(Note(kNoteOff, n, 0, offset));
      heldBack = 0;
      retrigger = true;
    }
    mQueue.Enqueue(Note(kNoteOn, n, velocity, retrigger ? 1 : 0));
    mNoteOnState[static_cast<size_t>(n)] = true;
    mNoteOnQueued[static_cast<size_t>(n)] = true;
    if (retrigger) mLateNoteOn[static_cast<size_t>(n)] = true;
  }
}

bool ChordAuditions::HeldByAnotherVoicing(int note, const Voicing& v) const {
  for (int i = 0; i < mSoundingCount; ++i) {
    const Voicing& w = mSounding[static_cast<size_t>(i)];
    if (!(w == v) && w.contains(note)) return true;
  }
  return false;
}

void ChordAuditions::Release(const Voicing& v) {
  const int found = FindSounding(v);
  for (int n : v) {
    if (HeldByAnotherVoicing(n, v)) continue;
    QueueNoteOff(n);
    mNoteOnState[static_cast<size_t>(n)] = false;
  }
  if (found >= 0) RemoveSounding(found);
}

void ChordAuditions::ReleaseAll() {
  for (Triggered& slot : mTriggered) slot.active = false;
  // Each release takes the voicing out of the sounding list.
  while (mSoundingCount > 0) Release(mSounding[0]);
}

void ChordAuditions::QueueNoteOff(int note) {
  // One note-off for every note-on the host has had for this pitch.
  const int32_t count = std::max(mNoteOnCount[static_cast<size_t>(note)], 1);
  // A note-off in the same block as its note-on would cut it to nothing.
  if (mNoteOnQueued[static_cast<size_t>(note)]) {
    mHeldBackOffs[static_cast<size_t>(note)] = count;
    mAnyHeldBack = true;
    return;
  }
  const int32_t offset = mLateNoteOn[static_cast<size_t>(note)] ? 1 : 0;
  for (int32_t i = 0; i < count; ++i) {
    if (!mQueue.Enqueue(Note(kNoteOff, note, 0, offset))) return;  // full: the rest would drop too
  }
}

void ChordAuditions::QueueHeldBackNoteOffs() {
  if (!mAnyHeldBack) return;
  mAnyHeldBack = false;
  for (int note = 0; note < kNoteCount; ++note) {
    int32_t& count = mHeldBackOffs[static_cast<size_t>(note)];
    // A note struck again meanwhile keeps its own release for later.
    if (count > 0 && mNoteOnQueued[static_cast<size_t>(note)]) mAnyHeldBack = true;
    if (count == 0 || mNoteOnQueued[static_cast<size_t>(note)]) continue;
    for (; count > 0; --count) {
      if (mQueue.Enqueue(Note(kNoteOff, note, 0, 0))) continue;
      mAnyHeldBack = true;  // a full queue: the rest go with a later block
      return;
    }
  }
}

void ChordAuditions::SetTriggered(int cell, const Voicing* started) {
  Triggered& slot = mTriggered[static_cast<size_t>(cell)];
  slot.active = started != nullptr;
  if (started != nullptr) slot.voicing = *started;
}

bool ChordAuditions::TakeTriggered(int cell, Voicing* started) {
  Triggered& slot = mTriggered[static_cast<size_t>(cell)];
  if (!slot.active) return false;
  *started = slot.voicing;
  slot.active = false;
  return true;
}

void ChordAuditions::CountSent(const MidiMessage& message) {
  const int kind = message.status >> 4;
  int32_t& count = mNoteOnCount[static_cast<size_t>(message.data1 & 0x7F)];
  if (kind == 0x9) {
    mLateNoteOn[static_cast<size_t>(message.data1 & 0x7F)] = false;
    mNoteOnQueued[static_cast<size_t>(message.data1 & 0x7F)] = false;
    if (count < std::numeric_limits<int32_t>::max()) ++count;
  } else if (kind == 0x8 && count > 0) {
    --count;
  }
}

}  // namespace velmora
