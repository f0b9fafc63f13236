// Chord auditions: voicings turned into queued note-ons and note-offs.
#include <algorithm>

#include "core/Velmora.h"

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

bool Contains(const std::vector<int>& notes, int note) {
  return std::find(notes.begin(), notes.end(), note) != notes.end();
}

}  // namespace

void Velmora::StartChord(const std::vector<int>& notes, int octave, int inversion, int velocity) {
  auto lock = Lock();
  std::vector<int> voicing = VoiceChord(notes, octave, inversion);
  if (std::find(SoundingVoicings.begin(), SoundingVoicings.end(), voicing) != SoundingVoicings.end()) return;
  SoundingVoicings.push_back(voicing);
  BeginTakeIfArmed();
  // MIDI data bytes are seven bits.
  velocity = std::clamp(velocity, 0, 127);
  bool retrigger = false;
  for (int n : voicing) {
    if (NoteOnState[n]) {
      MidiQueue.Enqueue(Note(kNoteOff, n, 0, 0));
      retrigger = true;
    }
    MidiQueue.Enqueue(Note(kNoteOn, n, velocity, retrigger ? 1 : 0));
    NoteOnState[n] = true;
  }
}

std::vector<int> Velmora::ReleaseVoicing(const std::vector<int>& voicing) {
  std::vector<int> shared;
  auto found = SoundingVoicings.end();
  for (auto it = SoundingVoicings.begin(); it != SoundingVoicings.end(); ++it) {
    if (*it == voicing) {
      found = it;
      continue;
    }
    for (int held : *it) {
      for (int n : voicing) {
        if (held == n) shared.push_back(n);
      }
    }
  }
  if (found != SoundingVoicings.end()) SoundingVoicings.erase(found);
  return shared;
}

void Velmora::StopChord(const std::vector<int>& notes, int octave, int inversion) {
  auto lock = Lock();
  const std::vector<int> voicing = VoiceChord(notes, octave, inversion);
  const std::vector<int> shared = ReleaseVoicing(voicing);
  for (int n : voicing) {
    if (Contains(shared, n)) continue;
    // One note-off for every note-on the host has had for this pitch.
    QueueNoteOff(n, std::max(NoteOnCount[n], 1));
    NoteOnState[n] = false;
  }
}

void Velmora::QueueNoteOff(int note, int count) {
  for (int i = 0; i < count; ++i) {
    if (!MidiQueue.Enqueue(Note(kNoteOff, note, 0, 0))) return;  // full: the rest would drop too
  }
}

}  // namespace velmora
