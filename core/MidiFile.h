#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/plugin/MessageSink.h"

namespace velmora {

// One timed MIDI message of a track.
struct TrackEvent {
  std::vector<std::uint8_t> message;  // status byte first, then its data bytes
  std::int32_t tick = 0;      // absolute, or ticks since the previous event in delta state
  std::int32_t track = 0;     // informational only
  std::int32_t sequence = 0;  // second sort key

  TrackEvent() = default;
  TrackEvent(std::int32_t tick, std::vector<std::uint8_t> message)
      : message(std::move(message)), tick(tick) {}

  bool IsEndOfTrack() const;
  bool IsMeta() const;
  bool IsNoteOn() const;   // a note-on with non-zero velocity
  bool IsNoteOff() const;  // a note-off or a note-on with velocity 0
};

// A multi-track list of timed events written as a Standard MIDI File.
class MidiFile {
public:
  static constexpr std::int32_t kMaxTracks = 65535;  // the header's 16-bit count

  MidiFile();

  // Appends an empty track and returns its index, or -1 past kMaxTracks.
  std::int32_t AddTrack();
  void SetTicksPerQuarterNote(std::int32_t ticks) { mTicksPerQuarterNote = ticks; }
  std::int32_t TicksPerQuarterNote() const { return mTicksPerQuarterNote; }

  // Appends a copy at the end of the track, without reordering. False (and
  // nothing stored) for an unknown track or an empty message.
  bool AddEvent(std::int32_t track, const TrackEvent& event);

  void sortTracks();
  void MakeAbsoluteTicks();
  void MakeDeltaTicks();
  bool IsAbsoluteTicks() const { return mAbsolute; }

  // Writes the file through FileReplace: in full or not at all, except where
  // no file can be created beside the target, when it is written in place and
  // a failure may leave it partial. False (with a message) when it could not
  // be written.
  bool Write(const std::string& path);
  // Where the messages go (the standard error stream when empty).
  void SetMessageSink(MessageSink sink) { mMessages = std::move(sink); }

  std::int32_t TrackCount() const { return static_cast<std::int32_t>(mTracks.size()); }
  const std::vector<TrackEvent>& TrackEvents(std::int32_t track) const;

private:
  void AppendTrackChunk(const std::vector<TrackEvent>& events, std::vector<std::uint8_t>& out) const;

  std::vector<std::vector<TrackEvent>> mTracks;
  std::int32_t mTicksPerQuarterNote = 120;
  bool mAbsolute = true;
  MessageSink mMessages;
};

}  // namespace velmora
