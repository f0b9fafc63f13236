#include "core/MidiExporter.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "core/KeptFiles.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTakePrefix = "velmora-take-";

bool IsTakeFile(const fs::path& path) {
  const std::string name = path.filename().u8string();
  return name.rfind(kTakePrefix, 0) == 0 && path.extension() == ".mid";
}

}  // namespace

MidiExporter::MidiExporter(std::string path) : mPath(std::move(path)) {
  mTake.reserve(4096);
  try {
    mWorker = std::thread(&MidiExporter::Run, this);
  } catch (const std::system_error&) {
    std::cerr << "Velmora: the MIDI export thread could not start; takes will not be written" << std::endl;
  }
}

MidiExporter::~MidiExporter() {
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mStopping = true;
  }
  mWake.notify_one();
  if (mWorker.joinable()) mWorker.join();
}

void MidiExporter::SetMessageSink(MessageSink sink) {
  std::lock_guard<std::mutex> lock(mSinkMutex);
  mMessages = std::move(sink);
}

void MidiExporter::Report(const std::string& line) {
  std::lock_guard<std::mutex> lock(mSinkMutex);
  ReportMessage(mMessages, line);
}

void MidiExporter::SetPath(const std::string& path) {
  std::lock_guard<std::mutex> lock(mMutex);
  mPath = path;
}

std::string MidiExporter::LatestTakePath() {
  std::lock_guard<std::mutex> lock(mMutex);
  return mLatestTake;
}

bool MidiExporter::Push(const Message& message, int reserve) {
  const uint32_t tail = mTail.load(std::memory_order_relaxed);
  const uint32_t head = mHead.load(std::memory_order_acquire);
  if (tail - head + static_cast<uint32_t>(reserve) >= static_cast<uint32_t>(kRingSize)) return false;
  mRing[tail % kRingSize] = message;
  mTail.store(tail + 1, std::memory_order_release);
  return true;
}

void MidiExporter::NewTake() {
  Message message;
  message.kind = Message::kNewTake;
  // Without it the new take would carry on the old one: count it as lost.
  if (!Push(message, 0)) mLostExports.fetch_add(1, std::memory_order_relaxed);
}

void MidiExporter::Capture(int32_t position, const RecordedEvent& event) {
  Message message;
  message.kind = Message::kCapture;
  message.noteOn = event.isNoteOn;
  message.note = static_cast<uint8_t>(event.note);
  message.velocity = static_cast<uint8_t>(event.velocity);
  message.position = position;
  if (!Push(message, kControlReserve)) mLostCaptures.fetch_add(1, std::memory_order_relaxed);
}

void MidiExporter::Export(const ExportSettings& settings) {
  Message message;
  message.kind = Message::kExport;
  message.position = settings.endPosition;
  message.samplesPerBeat = settings.samplesPerBeat;
  message.ticksPerQuarterNote = settings.ticksPerQuarterNote;
  if (Push(message, 0)) {
    mExportsPosted.fetch_add(1, std::memory_order_release);
  } else {
    mLostExports.fetch_add(1, std::memory_order_relaxed);
  }
}

void MidiExporter::Wake() {
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mWakeRequested = true;
  }
  mWake.notify_one();
}

void MidiExporter::WaitForExports() {
  if (!Running()) return;
  const uint64_t target = mExportsPosted.load(std::memory_order_acquire);
  Wake();
  std::unique_lock<std::mutex> lock(mMutex);
  mIdle.wait(lock, [&] { return mExportsDone >= target || mStopping; });
}

std::vector<PositionedEvent> MidiExporter::TakeCopy() {
  if (!Running()) return {};
  const uint32_t target = mTail.load(std::memory_order_acquire);
  Wake();
  std::unique_lock<std::mutex> lock(mMutex);
  mIdle.wait(lock, [&] { return mHead.load(std::memory_order_acquire) - target < (1u << 31) || mStopping; });
  return mTake;
}

void MidiExporter::Run() {
  std::unique_lock<std::mutex> lock(mMutex);
  auto interval = kPollInterval;
  for (;;) {
    mWake.wait_for(lock, interval, [this] { return mStopping || mWakeRequested; });
    mWakeRequested = false;
    const bool stopping = mStopping;
    lock.unlock();
    // Once stopping, what was asked for before the instance went still reaches the disk.
    // A host rendering faster than real time fills the ring quickly: look again soon.
    interval = Drain() >= kRingSize / 16 ? kBusyPollInterval : kPollInterval;
    ReportLosses();
    lock.lock();
    mIdle.notify_all();
    if (stopping) return;
  }
}

uint32_t MidiExporter::Drain() {
  const uint32_t start = mHead.load(std::memory_order_relaxed);
  const uint32_t tail = mTail.load(std::memory_order_acquire);
  // Every export rewrites the same file: of those waiting, only the last
  // needs writing, whatever was asked between them.
  uint32_t lastExport = tail;
  for (uint32_t i = tail; i != start;) {
    if (mRing[--i % kRingSize].kind == Message::kExport) {
      lastExport = i;
      break;
    }
  }
  std::unique_lock<std::mutex> lock(mMutex);
  for (uint32_t head = start; head != tail;) {
    const Message message = mRing[head % kRingSize];
    const bool last = head == lastExport;
    // The slot is free once its copy is taken; the lock makes it visible to waiters too.
    mHead.store(++head, std::memory_order_release);
    if (message.kind != Message::kExport) {
      Apply(message);
    } else if (last) {
      Write(lock, ExportSettings{message.samplesPerBeat, message.ticksPerQuarterNote, message.position});
    } else {
      ++mExportsDone;
    }
  }
  return tail - start;
}

void MidiExporter::Apply(const Message& message) {
  if (message.kind == Message::kNewTake) {
    mTake.clear();
    mTakeFullReported = false;
    mTakePath.clear();
  } else if (mTake.size() < kMaxTakeEvents) {
    mTake.emplace_back(message.position, RecordedEvent{message.note, message.velocity, message.noteOn});
  } else if (!mTakeFullReported) {
    mTakeFullReported = true;
    Report("Velmora: the take reached " + std::to_string(kMaxTakeEvents) +
           " events; it is kept and exported, later events are not recorded");
  }
}

// A take is written to its own file, which later takes never touch (a host
// that references a dropped file keeps its clip), and again as the latest.
void MidiExporter::Write(std::unique_lock<std::mutex>& lock, const ExportSettings& settings) {
  const std::string latest = mPath;
  if (mTakePath.empty()) mTakePath = NewTakePath();
  const std::string own = mTakePath;
  bool ownWritten = false;
  try {
    MidiFile file = BuildRecordingFile(mTake, settings);
    file.SetMessageSink([this](const std::string& line) { Report(line); });
    // The disk is waited for without the lock, so waiters can still look in.
    lock.unlock();
    ownWritten = !own.empty() && file.Write(own);
    file.Write(latest);
    if (ownWritten) PruneTakes(own);
  } catch (const std::exception& error) {
    Report("Error: could not write: " + latest + " (" + error.what() + ")");
  }
  if (!lock.owns_lock()) lock.lock();
  if (ownWritten) mLatestTake = own;
  ++mExportsDone;
  mIdle.notify_all();
}

std::string MidiExporter::NewTakePath() const {
  if (mPath.empty()) return std::string();
  const fs::path folder = fs::u8path(mPath).parent_path() / kTakesFolder;
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return std::string();
  const std::string name = kTakePrefix + KeptFileStamp() + ".mid";
  return (folder / fs::u8path(name)).u8string();
}

void MidiExporter::PruneTakes(const std::string& takePath) {
  PruneKeptFiles(fs::u8path(takePath).parent_path(), IsTakeFile, kKeptTakes);
}

void MidiExporter::ReportLosses() {
  const uint64_t captures = mLostCaptures.exchange(0, std::memory_order_relaxed);
  const uint64_t exports = mLostExports.exchange(0, std::memory_order_relaxed);
  if (captures > 0)
    Report("Velmora: " + std::to_string(captures) + " recorded events were lost: the take's hand-off was full");
  if (exports > 0)
    Report("Velmora: " + std::to_string(exports) + " take starts or exports were lost: the take's hand-off was full");
}

}  // namespace velmora
