#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/MidiFile.h"

namespace velmora {

// One captured note event; its frame position in the take is the map key.
struct RecordedEvent {
  int32_t note = 0;
  int32_t velocity = 0;
  bool isNoteOn = false;
};

using PositionedEvent = std::pair<int32_t, RecordedEvent>;

// An ordered multimap from frame position to event: iteration in ascending
// position, equal positions in insertion order. Captures arrive in position
// order, so entries live in one sorted array: inserting is an append, and an
// export snapshot is a single copy of contiguous memory.
class RecordedEventMap {
 public:
  using const_iterator = std::vector<PositionedEvent>::const_iterator;

  void insert(int32_t position, const RecordedEvent& event);
  void clear() { entries_.clear(); }  // keeps the storage for the next take
  void reserve(size_t count) { entries_.reserve(count); }
  bool empty() const { return entries_.empty(); }
  size_t size() const { return entries_.size(); }
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }
  const std::vector<PositionedEvent>& entries() const { return entries_; }

 private:
  std::vector<PositionedEvent> entries_;
};

// Everything an export needs, copied out of the plug-in so that the file is
// built and written away from the plug-in lock.
struct ExportJob {
  std::vector<PositionedEvent> events;  // in position order
  int32_t samplesPerBeat = 0;
  int32_t ticksPerQuarterNote = 120;
  std::string path;
};

// sampleRate * 60 / tempo truncated, or 0 when that is not a positive int32
// (no tempo, no sample rate, or a tempo too fast for one frame per beat).
int32_t SamplesPerBeat(double sampleRate, double tempo);

// position * ticksPerQuarterNote / samplesPerBeat, halves away from zero,
// kept inside int32. samplesPerBeat must be positive.
int32_t TickForPosition(int32_t position, int32_t ticksPerQuarterNote, int32_t samplesPerBeat);

// The take as a two-track file: track 0 empty, track 1 the notes on channel 1,
// sorted (note-offs before note-ons at equal ticks).
MidiFile BuildRecordingFile(const ExportJob& job);

}  // namespace velmora
