// Block processing and MIDI input.
#include <limits>

#include "core/Velmora.h"

namespace velmora {
namespace {

constexpr int kFirstTriggerNote = 36;

int32_t SaturatingAdd(int32_t a, int32_t b) {
  const int64_t sum = int64_t{a} + b;
  return sum > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(sum);
}

}  // namespace

void Velmora::HandleMidiMessage(const MidiMessage& message) {
  auto lock = Lock();
  // Only notes 36..51 on any channel play grid cells; nothing is passed through.
  if (message.status < 0x80 || message.status > 0x9F) return;
  if (message.data1 < kFirstTriggerNote || message.data1 >= kFirstTriggerNote + kGridCellCount) return;
  const int k = message.data1 - kFirstTriggerNote;
  const bool noteOn = message.status >= 0x90 && message.data2 > 0;
  if (noteOn) {
    const ChordEntry& cell = mEngine.ChordGrid[k];
    StartChord(cell.notes, cell.octave, cell.inversion, message.data2);
    if (mViews.gridCells != nullptr) mViews.gridCells->SetCellSounding(k, true);
    TriggeredCells[k] = cell;
    return;
  }
  ChordEntry& started = TriggeredCells[k];
  if (started.IsEmpty()) return;
  // The chord that was started, even if the cell has changed since.
  StopChord(started.notes, started.octave, started.inversion);
  if (mViews.gridCells != nullptr) mViews.gridCells->SetCellSounding(k, false);
  started = EmptyEntry();
}

void Velmora::ProcessBlock(double** /*inputs*/, double** /*outputs*/, int frames) {
  auto lock = Lock();
  // No audio of our own: the block adapters write silence to the outputs.
  MarkOutputsSilent();
  ReadHostTime(&HostTime);
  EndTakeIfStopped();
  const bool capturing = HostTime.transportIsRunning && RecordArmed;
  // Nothing can be queued while the lock is held, so the whole queue goes out
  // at the first frame with its own offsets.
  if (frames > 0 && !MidiQueue.Empty()) SendQueue(capturing);
  if (frames > 0 && capturing && RecordingActive) RecordPosition = SaturatingAdd(RecordPosition, frames);
  PollKeyboard();
}

void Velmora::EndTakeIfStopped() {
  if (HostTime.transportIsRunning || !RecordArmed || !RecordingActive) return;
  if (!RecordedEvents.empty()) ExportRecording(ExportPath);
  RecordingActive = false;
}

void Velmora::SendQueue(bool capturing) {
  while (!MidiQueue.Empty()) {
    const MidiMessage message = MidiQueue.Front();
    const int kind = message.status >> 4;
    const int note = message.data1 & 0x7F;
    if (kind == 0x9) {
      NoteOnCount[note] = SaturatingAdd(NoteOnCount[note], 1);
    } else if (kind == 0x8 && NoteOnCount[note] > 0) {
      --NoteOnCount[note];
    }
    if (capturing) CaptureSent(message);
    SendMidi(message);
    MidiQueue.PopFront();
  }
  MidiQueue.Compact();
}

void Velmora::CaptureSent(const MidiMessage& message) {
  const int kind = message.status >> 4;
  if (kind == 0x9) {
    RecordedEvents.insert(RecordPosition, RecordedEvent{message.data1, message.data2, true});
  } else if (kind == 0x8) {
    RecordedEvents.insert(RecordPosition, RecordedEvent{message.data1, 0, false});
  }
}

void Velmora::PollKeyboard() {
  int key = PressedKey.load(std::memory_order_relaxed);
  // The keyboard has keys 0..36; anything else counts as no key.
  if (key < 0 || key > kNoteCount - 1 - ChordEngine::KeyboardBaseNote) key = -1;
  const int note = ChordEngine::KeyboardBaseNote + key;
  LastPressedKey = key;
  if (key >= 0) {
    if (note != LastPressedNote && LastPressedNote != -1) KeyPressPending = true;
    if (KeyPressPending && note >= ChordEngine::HighlightRangeLow && note <= ChordEngine::HighlightRangeHigh) {
      mEngine.ToggleHighlightedKey(note);
      KeyPressPending = false;
    }
  }
  LastPressedNote = note;
}

}  // namespace velmora
