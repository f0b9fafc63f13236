#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/vsthost/VstHost.h"

namespace velmora::host {

// A DAW's processing while a person uses the editor: blocks of the host's
// size on a thread of their own, each at its deadline in real time (block
// size / sample rate), as an audio interface asks for them. Every MIDI
// message the plug-in sends is printed on a thread of its own, so that a
// slow reader never holds up a block, and the notes left on are counted.
//
// VstHost is not thread-safe: while this runs, its MIDI queue and its blocks
// belong to this object's lock; queue host notes here, not on the VstHost.
class BlockProcessing {
 public:
  // At the host's block size and sample rate as they are now.
  BlockProcessing(VstHost& vst, std::FILE* out);
  ~BlockProcessing();
  BlockProcessing(const BlockProcessing&) = delete;
  BlockProcessing& operator=(const BlockProcessing&) = delete;

  void start();
  // Lets tailBlocks more blocks run (what the last host calls left queued
  // goes out), stops, and prints what is left to print.
  void stop(int tailBlocks = 0);
  std::chrono::nanoseconds period() const { return period_; }

  // A host MIDI message at the start of the next block; returns once that
  // block has run (false when it did not within a second).
  bool queueMidi(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

  std::int64_t blocks() const { return blocks_.load(); }
  // Blocks that ended after the next one's deadline, an audio interface's xruns.
  std::int64_t lateBlocks() const { return late_.load(); }
  // After stop(): "none", or the note-ons still without their note-off,
  // e.g. "60 64 67 (C4 E4 G4)".
  std::string stillSounding() const;

  // One message as one line: "block 12 frame 17: 90 3c 64  note-on C4 vel 100".
  static std::string Describe(const CapturedMidi& event);

 private:
  void processLoop();
  void printLoop();
  void print(const std::vector<CapturedMidi>& events);
  void post(std::vector<CapturedMidi> events);

  VstHost& vst_;
  std::FILE* out_;
  std::chrono::nanoseconds period_{0};

  std::mutex vstMutex_;
  std::atomic<bool> stop_{false};
  std::atomic<std::int64_t> blocks_{0};
  std::atomic<std::int64_t> late_{0};
  std::thread processing_;

  std::mutex printMutex_;
  std::condition_variable printWake_;
  std::deque<std::vector<CapturedMidi>> toPrint_;
  bool printStop_ = false;
  std::thread printer_;

  // The printer's: note-ons without their note-off, per channel and note.
  std::array<std::array<int, 128>, 16> sounding_{};
};

}  // namespace velmora::host
