// Block processing and MIDI input.
#include "core/Velmora.h"

#include <algorithm>
#include <cstdint>

namespace velmora {
namespace {

constexpr int kFirstTriggerNote = 36;

}  // namespace

// The adapter holds the lock for both entries: taking it again would only
// cost the processing thread.
void Velmora::HandleMidiMessage(const MidiMessage& message) {
  ExpectProcessingEntry();
  // A burst of host notes drops what does not fit rather than allocate.
  MidiQueue::FixedRoom fixedRoom(mAuditions.MidiQueue());
  // A host's panic (All Sound Off, All Notes Off) on any channel stops all
  // Velmora sounds, at its frame; like everything else it is not passed on.
  if ((message.status & 0xF0) == 0xB0 && (message.data1 == 120 || message.data1 == 123)) {
    StopEverything();
    return;
  }
  // Only notes 36..51 on any channel play grid cells; nothing is passed through.
  if (message.status < 0x80 || message.status > 0x9F) return;
  if (message.data1 < kFirstTriggerNote || message.data1 >= kFirstTriggerNote + kGridCellCount) return;
  const int k = message.data1 - kFirstTriggerNote;
  if (message.status >= 0x90 && message.data2 > 0) {
    const ChordEntry& cell = mEngine.ChordGrid[k];
    const Voicing voicing = VoiceChord(cell.notes, cell.octave, cell.inversion);
    StartVoicing(voicing, message.data2);
    if (mViews.gridCells != nullptr) mViews.gridCells->SetCellSounding(k, true);
    mAuditions.SetTriggered(k, cell.IsEmpty() ? nullptr : &voicing);
    return;
  }
  // The voicing that was started, even if the cell has changed since.
  Voicing started;
  if (!mAuditions.TakeTriggered(k, &started)) return;
  mAuditions.Release(started);
  if (mViews.gridCells != nullptr) mViews.gridCells->SetCellSounding(k, false);
}

void Velmora::ReleaseAllNotes() {
  auto lock = Lock();
  StopEverything();
}

void Velmora::StopEverything() {
  mAuditions.ReleaseAll();
  if (mViews.gridCells == nullptr) return;
  for (int k = 0; k < kGridCellCount; ++k) mViews.gridCells->SetCellSounding(k, false);
}

void Velmora::ProcessBlock(double** /*inputs*/, double** /*outputs*/, int frames) {
  ExpectProcessingEntry();
  // No audio of our own: the block adapters write silence to the outputs.
  MarkOutputsSilent();
  ReadHostTime(&mHostTime);
  const bool running = mHostTime.transportIsRunning;
  if (!running && mRecorder.TakeInProgress()) mRecorder.EndTake(ExportSamplesPerBeat());
  const bool capturing = running && mRecorder.RecordArmed();
  mChanges.capturing = capturing;
  // Blocks that went out without the lock still took their time.
  const int64_t skipped = TakeSkippedFrames();
  if (skipped > 0 && capturing && mRecorder.RecordingActive())
    mRecorder.Advance(static_cast<int>(std::min<int64_t>(skipped, INT32_MAX)));
  // Nothing can be queued while the lock is held, so the whole queue goes out
  // at the first frame with its own offsets.
  if (frames > 0 && !mAuditions.MidiQueue().Empty()) SendQueue(capturing);
  if (frames > 0 && capturing && mRecorder.RecordingActive()) mRecorder.Advance(frames);
  PollKeyboard();
}

void Velmora::SendQueue(bool capturing) {
  MidiQueue& queue = mAuditions.MidiQueue();
  while (!queue.Empty()) {
    const MidiMessage message = queue.Front();
    mAuditions.CountSent(message);
    if (capturing) mRecorder.CaptureSent(message);
    SendMidi(message);
    queue.PopFront();
  }
  queue.Compact();
  mAuditions.QueueHeldBackNoteOffs();
}

void Velmora::PollKeyboard() {
  int key = mPressedKey.load(std::memory_order_relaxed);
  // The keyboard has keys 0..36; anything else counts as no key.
  if (key < 0 || key > kNoteCount - 1 - ChordEngine::KeyboardBaseNote) key = -1;
  mLastPressedKey = key;
  mLastPressedNote = ChordEngine::KeyboardBaseNote + key;
  mKeyPresses.Take([this](int pressed) { HandleKeyPress(pressed); });
}

void Velmora::HandleKeyPress(int key) {
  if (key < 0 || key > kNoteCount - 1 - ChordEngine::KeyboardBaseNote) return;
  const int note = ChordEngine::KeyboardBaseNote + key;
  // Keys outside the background's two octaves are pressed but mark nothing.
  if (note >= ChordEngine::HighlightRangeLow && note <= ChordEngine::HighlightRangeHigh) {
    mEngine.ToggleHighlightedKey(note);
    MarkStateEdited();
  }
}

void Velmora::SetPressedKey(int key) {
  const int previous = mPressedKey.exchange(key, std::memory_order_relaxed);
  // A press is the key going down; holding it is no new press.
  if (key >= 0 && key != previous) mKeyPresses.Push(key);
}

void Velmora::TakeKeyPresses(bool blocking) {
  if (mKeyPresses.Empty()) return;
  std::unique_lock<PluginLock> lock(Mutex(), std::defer_lock);
  if (blocking) {
    lock = Lock();
  } else if (!lock.try_lock()) {
    return;
  }
  mKeyPresses.Take([this](int pressed) { HandleKeyPress(pressed); });
}

}  // namespace velmora
