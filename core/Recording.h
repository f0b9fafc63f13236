#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/MidiFile.h"

namespace velmora {

// One captured note event; the frame position in the take is kept beside it
// (the first of each pair in a take).
struct RecordedEvent {
  int32_t note = 0;
  int32_t velocity = 0;
  bool isNoteOn = false;
};

using PositionedEvent = std::pair<int32_t, RecordedEvent>;

// Everything an export needs besides the events, fixed when it is asked for.
struct ExportSettings {
  int32_t samplesPerBeat = 0;  // positive
  int32_t ticksPerQuarterNote = 120;
  int32_t endPosition = 0;     // the take's position when it was exported
};

// sampleRate * 60 / tempo truncated, or 0 when that is not a positive int32
// (no tempo, no sample rate, or a tempo too fast for one frame per beat).
int32_t SamplesPerBeat(double sampleRate, double tempo);

// position * ticksPerQuarterNote / samplesPerBeat, halves away from zero,
// kept inside int32. samplesPerBeat must be positive.
int32_t TickForPosition(int32_t position, int32_t ticksPerQuarterNote, int32_t samplesPerBeat);

// The take as a two-track file: track 0 empty, track 1 the notes on channel
// 1 in tick order, note-offs before note-ons at equal ticks. Because a tick
// is coarser than a frame, that order can put a note-off sent after a
// note-on before it; the track is therefore balanced: a note-off with no
// note sounding is left out, a note struck while sounding is ended at the
// same tick first, and what still sounds at the end is ended at the tick of
// endPosition (or of the last event, when later).
MidiFile BuildRecordingFile(const std::vector<PositionedEvent>& events, const ExportSettings& settings);

}  // namespace velmora
