#pragma once

#include <array>
#include <cstdint>

#include "core/MidiQueue.h"
#include "engine/ChordNotes.h"
#include "engine/GridHistory.h"

namespace velmora {

// The audition state of one instance: the outgoing MIDI queue, the voicings
// that auditions hold, which notes they have switched on, how many note-ons
// the host has had per pitch, and the voicing each trigger note started.
//
// Threads: [any, under the plug-in lock] — on the
// processing thread (MIDI input, block processing) and on the editor thread
// (row and cell presses, which take the lock first). Nothing here allocates
// once constructed, except ResizeForBlock (control thread, on reset) and a
// queue asked to hold more than its room off the processing thread.
class ChordAuditions {
 public:
  // More held voicings than any pair of hands and sixteen trigger notes make;
  // when it is reached the oldest voicing is released to make room.
  static constexpr int kMaxSounding = 32;
  static constexpr int kNoteCount = 128;

  // Whether an audition of v goes ahead: false when an equal voicing is
  // already sounding (then nothing is queued and no take starts). A new
  // voicing joins SoundingVoicings; an empty one (an empty grid cell) does
  // not, since no note-off could ever take it out again.
  bool Accept(const Voicing& v);
  // The note-ons of an accepted voicing; a note already on is switched off
  // first and struck again one frame later.
  void QueueNoteOns(const Voicing& v, int velocity);
  // The note-offs of v for the notes no other sounding voicing holds: one for
  // every note-on the host has had for the pitch. v need not be sounding.
  void Release(const Voicing& v);

  // The voicing that trigger note 36 + cell started (none for an empty cell),
  // and, at its note-off, taking it back: false when the cell holds none.
  void SetTriggered(int cell, const Voicing* started);
  bool TakeTriggered(int cell, Voicing* started);
  // A host's reset: the note-offs of everything sounding, trigger notes
  // forgotten.
  void ReleaseAll();

  // Block processing: the counts follow what was sent.
  void CountSent(const MidiMessage& message);
  // After a block has sent its queue: the note-offs held back because their
  // note-on had not gone out yet join the queue for the next block, so that
  // even a click shorter than a block sounds for a while.
  void QueueHeldBackNoteOffs();

  velmora::MidiQueue& MidiQueue() { return mQueue; }
  const velmora::MidiQueue& MidiQueue() const { return mQueue; }
  int SoundingCount() const { return mSoundingCount; }
  const Voicing& SoundingVoicing(int i) const { return mSounding[static_cast<size_t>(i)]; }
  bool NoteOnState(int note) const { return mNoteOnState[static_cast<size_t>(note)]; }
  int32_t NoteOnCount(int note) const { return mNoteOnCount[static_cast<size_t>(note)]; }

 private:
  struct Triggered {
    bool active = false;
    Voicing voicing;
  };

  int FindSounding(const Voicing& v) const;
  void RemoveSounding(int index);
  bool HeldByAnotherVoicing(int note, const Voicing& v) const;
  void QueueNoteOff(int note);

  velmora::MidiQueue mQueue;
  std::array<bool, kNoteCount> mNoteOnState{};
  std::array<int32_t, kNoteCount> mNoteOnCount{};
  // Pitches whose queued note-on waits for frame 1: a note-off queued after
  // it must not overtake it.
  std::array<bool, kNoteCount> mLateNoteOn{};
  // Pitches whose note-on is queued and not sent yet, and the note-offs held
  // back for them.
  std::array<bool, kNoteCount> mNoteOnQueued{};
  std::array<int32_t, kNoteCount> mHeldBackOffs{};
  bool mAnyHeldBack = false;  // spares every block the look through the pitches
  std::array<Voicing, kMaxSounding> mSounding{};  // start order
  int mSoundingCount = 0;
  std::array<Triggered, kGridCellCount> mTriggered{};
};

}  // namespace velmora
