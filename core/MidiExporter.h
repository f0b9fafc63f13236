#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/Recording.h"
#include "framework/plugin/MessageSink.h"

namespace velmora {

// The writer of recorded takes: a thread of its own that keeps the take and
// writes it as a MIDI file when an export is asked for, so that neither the
// processing thread nor the plug-in lock ever waits for memory or the disk.
//
// Threads. The producer calls (NewTake, Capture, Export) are [any, under
// the plug-in lock], the processing thread included: the
// lock makes them one producer at a time. They only write into a fixed
// ring of messages (no allocation, no system call, no wait); the [writer]
// thread polls the ring every kPollInterval (more often while it is busy) and whenever a non-processing
// thread wakes it (WaitForExports). WaitForExports and TakeCopy are for the
// editor and control threads, called without the plug-in lock. The thread
// starts at construction and is joined, after writing what was asked for,
// at destruction.
class MidiExporter {
 public:
  static constexpr int kRingSize = 8192;
  // Room kept in the ring for NewTake and Export when captures fill it.
  static constexpr int kControlReserve = 16;
  // A take keeps at most this many events; later ones are reported, not kept.
  static constexpr size_t kMaxTakeEvents = size_t{1} << 20;
  static constexpr std::chrono::milliseconds kPollInterval{50};
  static constexpr std::chrono::milliseconds kBusyPollInterval{2};

  explicit MidiExporter(std::string path = std::string());
  ~MidiExporter();
  MidiExporter(const MidiExporter&) = delete;
  MidiExporter& operator=(const MidiExporter&) = delete;

  // How many take files the folder keeps; older ones are removed.
  static constexpr size_t kKeptTakes = 200;
  // The takes' folder, beside the latest take's file.
  static constexpr const char* kTakesFolder = "velmora-takes";

  // Set before the first export; control thread. Each take is written to a
  // file of its own in the folder "velmora-takes" beside it, and the latest
  // take to this path as well.
  void SetPath(const std::string& path);
  // The file of the latest take written, "" before the first; editor or
  // control thread.
  std::string LatestTakePath();
  // Where the writer's messages go (the standard error stream when empty).
  void SetMessageSink(MessageSink sink);

  // Producer side (plug-in lock held).
  void NewTake();
  void Capture(int32_t position, const RecordedEvent& event);
  void Export(const ExportSettings& settings);

  // Returns when every export asked for so far is written (at once when the
  // writer could not start).
  void WaitForExports();
  // The take as the writer holds it once everything posted so far is taken in.
  std::vector<PositionedEvent> TakeCopy();
  bool Running() const { return mWorker.joinable(); }

 private:
  struct Message {
    enum Kind : uint8_t { kCapture, kNewTake, kExport };
    Kind kind = kCapture;
    bool noteOn = false;
    uint8_t note = 0;
    uint8_t velocity = 0;
    int32_t position = 0;  // capture; the end position for an export
    int32_t samplesPerBeat = 0;
    int32_t ticksPerQuarterNote = 0;
  };

  bool Push(const Message& message, int reserve);
  void Run();
  // Writer thread: takes in everything in the ring; answers how many messages.
  uint32_t Drain();
  // Writer thread, with mMutex held.
  void Apply(const Message& message);
  void Write(std::unique_lock<std::mutex>& lock, const ExportSettings& settings);
  // Writer thread: a new file name for the take in the takes folder, made
  // there; "" when there is no folder.
  std::string NewTakePath() const;
  void PruneTakes(const std::string& takePath);
  void ReportLosses();
  void Report(const std::string& line);
  void Wake();

  // The ring: the producer writes mTail, the writer mHead.
  std::array<Message, kRingSize> mRing{};
  std::atomic<uint32_t> mHead{0};
  std::atomic<uint32_t> mTail{0};
  std::atomic<uint64_t> mExportsPosted{0};
  std::atomic<uint64_t> mLostCaptures{0};
  std::atomic<uint64_t> mLostExports{0};

  // Writer side.
  std::vector<PositionedEvent> mTake;
  bool mTakeFullReported = false;
  std::string mPath;
  std::string mTakePath;  // the current take's own file, once written
  std::mutex mSinkMutex;
  MessageSink mMessages;  // guarded by mSinkMutex

  std::mutex mMutex;  // guards what the writer shares with waiters
  std::condition_variable mWake;
  std::condition_variable mIdle;
  uint64_t mExportsDone = 0;
  std::string mLatestTake;
  bool mWakeRequested = false;
  bool mStopping = false;
  std::thread mWorker;
};

}  // namespace velmora
