#include "core/Recording.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmora {

void RecordedEventMap::insert(int32_t position, const RecordedEvent& event) {
  if (entries_.empty() || entries_.back().first <= position) {
    entries_.emplace_back(position, event);
    return;
  }
  // After every entry with the same position, as a multimap inserts.
  const auto at = std::upper_bound(entries_.begin(), entries_.end(), position,
                                   [](int32_t p, const PositionedEvent& e) { return p < e.first; });
  entries_.emplace(at, position, event);
}

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

MidiFile BuildRecordingFile(const ExportJob& job) {
  MidiFile file;
  const int32_t track = file.addTrack();
  file.setTicksPerQuarterNote(job.ticksPerQuarterNote);
  for (const auto& [position, event] : job.events) {
    if (event.note < 0 || event.note > 127) continue;
    const auto status = static_cast<uint8_t>(event.isNoteOn ? 0x90 : 0x80);
    const auto velocity = static_cast<uint8_t>(event.velocity & 0xFF);
    file.addEvent(track, TrackEvent(TickForPosition(position, job.ticksPerQuarterNote, job.samplesPerBeat),
                                    {status, static_cast<uint8_t>(event.note), velocity}));
  }
  file.sortTracks();
  return file;
}

}  // namespace velmora
