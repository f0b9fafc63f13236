#pragma once

// A Standard MIDI File read back the way a host reads one, for tests on
// every platform: the header, and each track's notes, tempos and time
// signatures at their absolute ticks. Running status is understood; any
// malformed byte ends the reading with ok false.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::test {

struct ReadNote {
  std::int64_t tick = 0;
  bool on = false;  // a note-on with velocity 0 counts as a note-off
  int channel = 0;  // 1..16
  int key = 0;
  int velocity = 0;
};

struct ReadMidiFile {
  bool ok = false;
  std::string error;
  int format = -1, trackCount = 0, ticksPerQuarter = 0;
  std::vector<ReadNote> notes;  // every track's, in file order
  std::vector<std::pair<std::int64_t, std::uint32_t>> tempos;  // tick, microseconds per quarter
  std::vector<std::pair<int, int>> timeSignatures;             // numerator, denominator
  std::int64_t lastTick = 0;                                   // of the latest event, end of track included
};

namespace midi_read {

class Cursor {
 public:
  Cursor(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t end) : b_(bytes), at_(at), end_(end) {}
  bool More() const { return at_ < end_; }
  bool Byte(std::uint32_t& v) {
    if (at_ >= end_) return false;
    v = b_[at_++];
    return true;
  }
  bool Peek(std::uint32_t& v) const {
    if (at_ >= end_) return false;
    v = b_[at_];
    return true;
  }
  bool Fixed(int n, std::uint32_t& v) {
    v = 0;
    for (int i = 0; i < n; ++i) {
      std::uint32_t c = 0;
      if (!Byte(c)) return false;
      v = v << 8 | c;
    }
    return true;
  }
  bool Vlq(std::uint32_t& v) {
    v = 0;
    for (int i = 0; i < 4; ++i) {
      std::uint32_t c = 0;
      if (!Byte(c)) return false;
      v = v << 7 | (c & 0x7F);
      if (!(c & 0x80)) return true;
    }
    return false;
  }
  bool Skip(std::uint32_t n) {
    if (n > end_ - at_) return false;
    at_ += n;
    return true;
  }
  std::size_t At() const { return at_; }

 private:
  const std::vector<std::uint8_t>& b_;
  std::size_t at_, end_;
};

inline bool Meta(Cursor& c, std::int64_t tick, ReadMidiFile& out) {
  std::uint32_t type = 0, length = 0;
  if (!c.Byte(type) || !c.Vlq(length)) return false;
  if (type == 0x51 && length == 3) {
    std::uint32_t micros = 0;
    if (!c.Fixed(3, micros)) return false;
    out.tempos.emplace_back(tick, micros);
    return true;
  }
  if (type == 0x58 && length == 4) {
    std::uint32_t n = 0, d = 0, rest = 0;
    if (!c.Byte(n) || !c.Byte(d) || !c.Fixed(2, rest)) return false;
    out.timeSignatures.emplace_back(int(n), 1 << d);
    return true;
  }
  return c.Skip(length);
}

inline bool Track(Cursor& c, ReadMidiFile& out) {
  std::int64_t tick = 0;
  std::uint32_t status = 0;
  while (c.More()) {
    std::uint32_t delta = 0, first = 0;
    if (!c.Vlq(delta) || !c.Peek(first)) return false;
    tick += delta;
    out.lastTick = tick > out.lastTick ? tick : out.lastTick;
    if (first & 0x80) {
      c.Byte(status);
    } else if (status == 0) {
      return false;  // running status with nothing to run on
    }
    if (status == 0xFF) {
      if (!Meta(c, tick, out)) return false;
      status = 0;
      continue;
    }
    if (status == 0xF0 || status == 0xF7) {
      std::uint32_t length = 0;
      if (!c.Vlq(length) || !c.Skip(length)) return false;
      status = 0;
      continue;
    }
    const std::uint32_t kind = status & 0xF0;
    std::uint32_t d1 = 0, d2 = 0;
    if (!c.Byte(d1)) return false;
    if (kind != 0xC0 && kind != 0xD0 && !c.Byte(d2)) return false;
    if (kind == 0x90 || kind == 0x80) {
      out.notes.push_back(ReadNote{tick, kind == 0x90 && d2 > 0, int(status & 0x0F) + 1, int(d1), int(d2)});
    }
  }
  return true;
}

}  // namespace midi_read

inline ReadMidiFile ReadMidi(const std::vector<std::uint8_t>& bytes) {
  ReadMidiFile out;
  midi_read::Cursor header(bytes, 0, bytes.size());
  std::uint32_t tag = 0, length = 0, format = 0, tracks = 0, division = 0;
  if (!header.Fixed(4, tag) || tag != 0x4D546864 || !header.Fixed(4, length) || length < 6 ||
      !header.Fixed(2, format) || !header.Fixed(2, tracks) || !header.Fixed(2, division) || !header.Skip(length - 6)) {
    out.error = "no MThd header";
    return out;
  }
  out.format = int(format);
  out.ticksPerQuarter = int(division);
  std::size_t at = header.At();
  for (std::uint32_t t = 0; t < tracks; ++t) {
    midi_read::Cursor chunk(bytes, at, bytes.size());
    std::uint32_t size = 0;
    if (!chunk.Fixed(4, tag) || tag != 0x4D54726B || !chunk.Fixed(4, size) || size > bytes.size() - chunk.At()) {
      out.error = "track " + std::to_string(t) + ": no MTrk chunk";
      return out;
    }
    midi_read::Cursor events(bytes, chunk.At(), chunk.At() + size);
    if (!midi_read::Track(events, out)) {
      out.error = "track " + std::to_string(t) + ": malformed event";
      return out;
    }
    at = chunk.At() + size;
    ++out.trackCount;
  }
  out.ok = at == bytes.size();
  if (!out.ok) out.error = "bytes after the last track";
  return out;
}

}  // namespace velmora::test
