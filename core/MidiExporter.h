#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "core/Recording.h"

namespace velmora {

// Builds and writes exported takes on a thread of its own, one job after the
// other in the order submitted, so that neither the processing thread nor the
// plug-in lock ever waits for the disk. A job that is still waiting when a
// newer one for the same file arrives is replaced by it, so the file ends as
// if every job had been written in turn. It never touches the plug-in.
class MidiExporter {
 public:
  MidiExporter() = default;
  ~MidiExporter();
  MidiExporter(const MidiExporter&) = delete;
  MidiExporter& operator=(const MidiExporter&) = delete;

  // Starts the worker unless it runs; cheap once it does.
  void Start();
  // Queues a job; without a worker (it could not be started) the job is
  // written before Submit returns.
  void Submit(ExportJob job);
  // Storage for the next job's events, with the room of an earlier job, so
  // that a snapshot taken on the processing thread need not allocate.
  std::vector<PositionedEvent> TakeEventBuffer();
  // Returns when every job submitted so far is on disk.
  void WaitUntilIdle();
  // Writes what is queued, then stops the worker.
  void Shutdown();

 private:
  void Run();
  static void Write(const ExportJob& job);
  // Caller holds the mutex.
  void KeepAsSpare(std::vector<PositionedEvent>& events);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<ExportJob> jobs_;
  std::vector<PositionedEvent> spare_;
  uint64_t submitted_ = 0;
  uint64_t completed_ = 0;
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace velmora
