#include "core/MidiFile.h"

#include "core/platform/FileReplace.h"

#include <algorithm>
#include <iostream>

namespace velmora {
namespace {

constexpr std::size_t kFirstTrackReserve = 1000;
constexpr std::size_t kAddedTrackReserve = 10000;
constexpr std::size_t kTrackBufferReserve = 123456;
constexpr std::uint32_t kVlqLimit = 0x10000000;

// Position of an event among others at the same tick and sequence number.
int orderRank(const TrackEvent& event) {
  if (event.isEndOfTrack()) return 4;
  if (event.isMeta()) return 0;
  if (event.isNoteOn()) return 3;
  if (event.isNoteOff()) return 2;
  return 1;
}

bool comesBefore(const TrackEvent& a, const TrackEvent& b) {
  if (a.tick != b.tick) return a.tick < b.tick;
  if (a.sequence != b.sequence) return a.sequence < b.sequence;
  return orderRank(a) < orderRank(b);
}

void appendVlq(std::uint32_t value, std::vector<std::uint8_t>& out, const MessageSink& messages) {
  if (value >= kVlqLimit) {
    ReportMessage(messages, "Error: number too large to convert to VLV");
    value = kVlqLimit - 1;
  }
  const std::uint8_t groups[4] = {
      static_cast<std::uint8_t>((value >> 21) & 0x7F), static_cast<std::uint8_t>((value >> 14) & 0x7F),
      static_cast<std::uint8_t>((value >> 7) & 0x7F), static_cast<std::uint8_t>(value & 0x7F)};
  int first = 0;
  while (first < 3 && groups[first] == 0) ++first;
  for (int i = first; i < 3; ++i) out.push_back(groups[i] | 0x80);
  out.push_back(groups[3]);
}

void appendBigEndian(std::uint32_t value, int bytes, std::vector<std::uint8_t>& out) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Tick arithmetic wraps like the stored 32-bit values so that a round trip
// between absolute and delta state restores every tick exactly.
std::int32_t wrappingDifference(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

std::int32_t wrappingSum(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

void reportNegativeDelta(std::int64_t delta, const MessageSink& messages) {
  ReportMessage(messages, "Error: negative delta tick value: " + std::to_string(delta));
  ReportMessage(messages, "Timestamps must be sorted first (use MidiFile::sortTracks() before writing).");
}

}  // namespace

bool TrackEvent::isEndOfTrack() const {
  return message.size() >= 2 && message[0] == 0xFF && message[1] == 0x2F;
}

bool TrackEvent::isMeta() const { return !message.empty() && message[0] == 0xFF; }

bool TrackEvent::isNoteOn() const {
  return message.size() >= 3 && (message[0] & 0xF0) == 0x90 && message[2] != 0;
}

bool TrackEvent::isNoteOff() const {
  if (message.empty()) return false;
  const std::uint8_t kind = message[0] & 0xF0;
  return kind == 0x80 || (kind == 0x90 && !isNoteOn());
}

MidiFile::MidiFile() : tracks_(1) { tracks_[0].reserve(kFirstTrackReserve); }

std::int32_t MidiFile::addTrack() {
  if (trackCount() >= kMaxTracks) return -1;
  tracks_.emplace_back().reserve(kAddedTrackReserve);
  return trackCount() - 1;
}

bool MidiFile::addEvent(std::int32_t track, const TrackEvent& event) {
  if (track < 0 || track >= trackCount() || event.message.empty()) return false;
  tracks_[static_cast<std::size_t>(track)].push_back(event);
  return true;
}

const std::vector<TrackEvent>& MidiFile::trackEvents(std::int32_t track) const {
  static const std::vector<TrackEvent> none;
  if (track < 0 || track >= trackCount()) return none;
  return tracks_[static_cast<std::size_t>(track)];
}

void MidiFile::sortTracks() {
  if (!absolute_) return;
  for (auto& events : tracks_) std::stable_sort(events.begin(), events.end(), comesBefore);
}

void MidiFile::makeDeltaTicks() {
  if (!absolute_) return;
  for (auto& events : tracks_) {
    if (events.empty()) continue;
    std::int32_t previous = events[0].tick;
    for (std::size_t i = 1; i < events.size(); ++i) {
      const std::int32_t current = events[i].tick;
      const std::int64_t delta = std::int64_t{current} - previous;
      if (delta < 0) reportNegativeDelta(delta, messages_);
      events[i].tick = wrappingDifference(current, previous);
      previous = current;
    }
  }
  absolute_ = false;
}

void MidiFile::makeAbsoluteTicks() {
  if (absolute_) return;
  for (auto& events : tracks_) {
    for (std::size_t i = 1; i < events.size(); ++i)
      events[i].tick = wrappingSum(events[i].tick, events[i - 1].tick);
  }
  absolute_ = true;
}

void MidiFile::appendTrackChunk(const std::vector<TrackEvent>& events,
                                std::vector<std::uint8_t>& out) const {
  const std::size_t start = out.size();
  out.insert(out.end(), {'M', 'T', 'r', 'k', 0, 0, 0, 0});
  // A stored end-of-track event is dropped, but the time it stood for is kept
  // so that the events after it stay where they were.
  std::uint32_t skippedTicks = 0;
  for (const TrackEvent& event : events) {
    const auto ticks = static_cast<std::uint32_t>(event.tick);
    if (event.isEndOfTrack()) {
      skippedTicks += ticks;
      continue;
    }
    appendVlq(skippedTicks + ticks, out, messages_);
    skippedTicks = 0;
    out.insert(out.end(), event.message.begin(), event.message.end());
  }
  out.insert(out.end(), {0x00, 0xFF, 0x2F, 0x00});
  const auto length = static_cast<std::uint32_t>(out.size() - start - 8);
  for (std::size_t i = 0; i < 4; ++i)
    out[start + 4 + i] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
}

bool MidiFile::write(const std::string& path) {
  FileReplace file(path);
  bool ok = file.isOpen();
  if (ok) {
    const bool wasAbsolute = absolute_;
    makeDeltaTicks();
    std::vector<std::uint8_t> buffer;
    buffer.reserve(kTrackBufferReserve);
    buffer.insert(buffer.end(), {'M', 'T', 'h', 'd', 0, 0, 0, 6});
    appendBigEndian(trackCount() == 1 ? 0 : 1, 2, buffer);
    appendBigEndian(static_cast<std::uint32_t>(trackCount()), 2, buffer);
    appendBigEndian(static_cast<std::uint32_t>(ticksPerQuarterNote_), 2, buffer);
    ok = file.append(buffer.data(), buffer.size());
    for (std::size_t track = 0; ok && track < tracks_.size(); ++track) {
      buffer.clear();
      appendTrackChunk(tracks_[track], buffer);
      ok = file.append(buffer.data(), buffer.size());
    }
    ok = file.commit() && ok;
    if (wasAbsolute) makeAbsoluteTicks();
  }
  if (!ok) ReportMessage(messages_, "Error: could not write: " + path);
  return ok;
}

}  // namespace velmora
