#include "core/MidiExporter.h"

#include <iostream>
#include <system_error>

namespace velmora {

MidiExporter::~MidiExporter() { Shutdown(); }

void MidiExporter::Start() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (worker_.joinable() || stopping_) return;
  try {
    worker_ = std::thread(&MidiExporter::Run, this);
  } catch (const std::system_error&) {
    // Submit then writes in place: slower, but no take is lost.
  }
}

void MidiExporter::Submit(ExportJob job) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (worker_.joinable() && !stopping_) {
      // A write still waiting would be overwritten by this one: it need not
      // happen at all, and a burst of exports cannot pile up.
      for (ExportJob& waiting : jobs_) {
        if (waiting.path == job.path) {
          KeepAsSpare(waiting.events);
          waiting = std::move(job);
          return;
        }
      }
      jobs_.push_back(std::move(job));
      ++submitted_;
    } else {
      lock.unlock();
      Write(job);
      return;
    }
  }
  wake_.notify_one();
}

std::vector<PositionedEvent> MidiExporter::TakeEventBuffer() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::move(spare_);
}

void MidiExporter::KeepAsSpare(std::vector<PositionedEvent>& events) {
  events.clear();
  if (events.capacity() > spare_.capacity()) spare_.swap(events);
}

void MidiExporter::WaitUntilIdle() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [this] { return completed_ == submitted_; });
}

void MidiExporter::Shutdown() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    wake_.notify_one();
  }
  if (worker_.joinable()) worker_.join();
}

void MidiExporter::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (jobs_.empty()) return;  // stopping, and everything is written
    ExportJob job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    Write(job);
    lock.lock();
    KeepAsSpare(job.events);
    ++completed_;
    idle_.notify_all();
    lock.unlock();
    job = ExportJob{};  // what is left is freed outside the lock
    lock.lock();
  }
}

void MidiExporter::Write(const ExportJob& job) {
  try {
    MidiFile file = BuildRecordingFile(job);
    file.write(job.path);
  } catch (const std::exception& error) {
    std::cerr << "Error: could not write: " << job.path << " (" << error.what() << ")" << std::endl;
  }
}

}  // namespace velmora
