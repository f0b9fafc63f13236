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
int OrderRank(const TrackEvent& event) {
  if (event.IsEndOfTrack()) return 4;
  if (event.IsMeta()) return 0;
  if (event.IsNoteOn()) return 3;
  if (event.IsNoteOff()) return 2;
  return 1;
}

bool ComesBefore(const TrackEvent& a, const TrackEvent& b) {
  if (a.tick != b.tick) return a.tick < b.tick;
  if (a.sequence != b.sequence) return a.sequence < b.sequence;
  return OrderRank(a) < OrderRank(b);
}

void AppendVlq(std::uint32_t value, std::vector<std::uint8_t>& out, const MessageSink& messages) {
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

void AppendBigEndian(std::uint32_t value, int bytes, std::vector<std::uint8_t>& out) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Tick arithmetic wraps like the stored 32-bit values so that a round trip
// between absolute and delta state restores every tick exactly.
std::int32_t WrappingDifference(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

std::int32_t WrappingSum(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

void ReportNegativeDelta(std::int64_t delta, const MessageSink& messages) {
  ReportMessage(messages, "Error: negative delta tick value: " + std::to_string(delta));
  ReportMessage(messages, "Timestamps must be sorted first (use MidiFile::sortTracks() before writing).");
}

}  // namespace

bool TrackEvent::IsEndOfTrack() const {
  return message.size() >= 2 && message[0] == 0xFF && message[1] == 0x2F;
}

bool TrackEvent::IsMeta() const { return !message.empty() && message[0] == 0xFF; }

bool TrackEvent::IsNoteOn() const {
  return message.size() >= 3 && (message[0] & 0xF0) == 0x90 && message[2] != 0;
}

bool TrackEvent::IsNoteOff() const {
  if (message.empty()) return false;
  const std::uint8_t kind = message[0] & 0xF0;
  return kind == 0x80 || (kind == 0x90 && !IsNoteOn());
}

MidiFile::MidiFile() : mTracks(1) { mTracks[0].reserve(kFirstTrackReserve); }

std::int32_t MidiFile::AddTrack() {
  if (TrackCount() >= kMaxTracks) return -1;
  mTracks.emplace_back().reserve(kAddedTrackReserve);
  return TrackCount() - 1;
}

bool MidiFile::AddEvent(std::int32_t track, const TrackEvent& event) {
  if (track < 0 || track >= TrackCount() || event.message.empty()) return false;
  mTracks[static_cast<std::size_t>(track)].push_back(event);
  return true;
}

const std::vector<TrackEvent>& MidiFile::TrackEvents(std::int32_t track) const {
  static const std::vector<TrackEvent> kNone;
  if (track < 0 || track >= TrackCount()) return kNone;
  return mTracks[static_cast<std::size_t>(track)];
}

void MidiFile::sortTracks() {
  if (!mAbsolute) return;
  for (auto& events : mTracks) std::stable_sort(events.begin(), events.end(), ComesBefore);
}

void MidiFile::MakeDeltaTicks() {
  if (!mAbsolute) return;
  for (auto& events : mTracks) {
    if (events.empty()) continue;
    std::int32_t previous = events[0].tick;
    for (std::size_t i = 1; i < events.size(); ++i) {
      const std::int32_t current = events[i].tick;
      const std::int64_t delta = std::int64_t{current} - previous;
      if (delta < 0) ReportNegativeDelta(delta, mMessages);
      events[i].tick = WrappingDifference(current, previous);
      previous = current;
    }
  }
  mAbsolute = false;
}

void MidiFile::MakeAbsoluteTicks() {
  if (mAbsolute) return;
  for (auto& events : mTracks) {
    for (std::size_t i = 1; i < events.size(); ++i)
      events[i].tick = WrappingSum(events[i].tick, events[i - 1].tick);
  }
  mAbsolute = true;
}

void MidiFile::AppendTrackChunk(const std::vector<TrackEvent>& events,
                                std::vector<std::uint8_t>& out) const {
  const std::size_t start = out.size();
  out.insert(out.end(), {'M', 'T', 'r', 'k', 0, 0, 0, 0});
  // A stored end-of-track event is dropped, but the time it stood for is kept
  // so that the events after it stay where they were.
  std::uint32_t skippedTicks = 0;
  for (const TrackEvent& event : events) {
    const auto ticks = static_cast<std::uint32_t>(event.tick);
    if (event.IsEndOfTrack()) {
      skippedTicks += ticks;
      continue;
    }
    AppendVlq(skippedTicks + ticks, out, mMessages);
    skippedTicks = 0;
    out.insert(out.end(), event.message.begin(), event.message.end());
  }
  out.insert(out.end(), {0x00, 0xFF, 0x2F, 0x00});
  const auto length = static_cast<std::uint32_t>(out.size() - start - 8);
  for (std::size_t i = 0; i < 4; ++i)
    out[start + 4 + i] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
}

bool MidiFile::Write(const std::string& path) {
  FileReplace file(path);
  bool ok = file.IsOpen();
  if (ok) {
    const bool wasAbsolute = mAbsolute;
    MakeDeltaTicks();
    std::vector<std::uint8_t> buffer;
    buffer.reserve(kTrackBufferReserve);
    buffer.insert(buffer.end(), {'M', 'T', 'h', 'd', 0, 0, 0, 6});
    AppendBigEndian(TrackCount() == 1 ? 0 : 1, 2, buffer);
    AppendBigEndian(static_cast<std::uint32_t>(TrackCount()), 2, buffer);
    AppendBigEndian(static_cast<std::uint32_t>(mTicksPerQuarterNote), 2, buffer);
    ok = file.Append(buffer.data(), buffer.size());
    for (std::size_t track = 0; ok && track < mTracks.size(); ++track) {
      buffer.clear();
      AppendTrackChunk(mTracks[track], buffer);
      ok = file.Append(buffer.data(), buffer.size());
    }
    ok = file.Commit() && ok;
    if (wasAbsolute) MakeAbsoluteTicks();
  }
  if (!ok) ReportMessage(mMessages, "Error: could not write: " + path);
  return ok;
}

}  // namespace velmora
