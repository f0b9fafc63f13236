#include "core/Recording.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace velmora {

int32_t SamplesPerBeat(double sampleRate, double tempo) {
  if (!(tempo > 0.0) || !(sampleRate > 0.0)) return 0;
  const double samples = std::trunc(sampleRate * 60.0 / tempo);
  if (!(samples >= 1.0) || samples > std::numeric_limits<int32_t>::max()) return 0;
  return static_cast<int32_t>(samples);
}

int32_t TickForPosition(int32_t position, int32_t ticksPerQuarterNote, int32_t samplesPerBeat) {
  const double tick = std::round(static_cast<double>(position) * ticksPerQuarterNote / samplesPerBeat);
  if (tick >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (tick <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(tick);
}

namespace {

struct TickedNote {
  int32_t tick;
  bool on;
  uint8_t note;
  uint8_t velocity;
};

// Tick order, and at equal ticks the note-offs first; otherwise the take's
// own order.
std::vector<TickedNote> InTickOrder(const std::vector<PositionedEvent>& events, const ExportSettings& settings) {
  std::vector<TickedNote> notes;
  notes.reserve(events.size());
  for (const auto& [position, event] : events) {
    if (event.note < 0 || event.note > 127) continue;
    notes.push_back(TickedNote{TickForPosition(position, settings.ticksPerQuarterNote, settings.samplesPerBeat),
                               event.isNoteOn, static_cast<uint8_t>(event.note),
                               static_cast<uint8_t>(event.velocity & 0xFF)});
  }
  std::stable_sort(notes.begin(), notes.end(), [](const TickedNote& a, const TickedNote& b) {
    return a.tick != b.tick ? a.tick < b.tick : (!a.on && b.on);
  });
  return notes;
}

void AddNote(MidiFile& file, int32_t track, int32_t tick, bool on, int note, int velocity) {
  file.AddEvent(track, TrackEvent(tick, {static_cast<uint8_t>(on ? 0x90 : 0x80), static_cast<uint8_t>(note),
                                         static_cast<uint8_t>(on ? velocity : 0)}));
}

}  // namespace

MidiFile BuildRecordingFile(const std::vector<PositionedEvent>& events, const ExportSettings& settings) {
  MidiFile file;
  const int32_t track = file.AddTrack();
  file.SetTicksPerQuarterNote(settings.ticksPerQuarterNote);
  std::array<bool, 128> sounding{};
  int32_t lastTick = 0;
  for (const TickedNote& n : InTickOrder(events, settings)) {
    lastTick = n.tick;
    if (!n.on) {
      if (!sounding[n.note]) continue;
      sounding[n.note] = false;
    } else if (sounding[n.note]) {
      AddNote(file, track, n.tick, false, n.note, 0);
    }
    AddNote(file, track, n.tick, n.on, n.note, n.velocity);
    if (n.on) sounding[n.note] = true;
  }
  const int32_t endTick = std::max(
      lastTick, TickForPosition(settings.endPosition, settings.ticksPerQuarterNote, settings.samplesPerBeat));
  for (int note = 0; note < 128; ++note) {
    if (sounding[static_cast<size_t>(note)]) AddNote(file, track, endTick, false, note, 0);
  }
  return file;
}

}  // namespace velmora
