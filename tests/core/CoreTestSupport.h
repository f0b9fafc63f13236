#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "core/Velmora.h"

namespace velmora::test {

namespace fs = std::filesystem;

// A host that records what the plug-in sends and answers the time and tempo
// requests from fields the test sets.
struct FakeHost : PluginHost {
  std::vector<MidiMessage> sent;
  TimeInfo hostTime;
  double tempo = 120.0;  // 0: the host reports none

  bool SendMidi(const MidiMessage& m) override { return sent.push_back(m), true; }
  void ReadHostTime(TimeInfo* info) override { *info = hostTime; }
  double HostTempo() override { return tempo; }
};

// The host is made before the plug-in that calls it, and goes after it.
struct WithFakeHost {
  FakeHost fakeHost;
};

// Velmora on a FakeHost, entered as an adapter enters it, with the parts the
// tests look into.
class HostedVelmora : private WithFakeHost, public Velmora {
 public:
  HostedVelmora() : Velmora(fakeHost) {}

  std::vector<MidiMessage>& sent = fakeHost.sent;
  TimeInfo& hostTime = fakeHost.hostTime;
  double& tempo = fakeHost.tempo;

  // The processing entries as the adapter makes them: with the lock, and
  // off the editor's window thread (a test playing both roles on one thread
  // hands the call to a thread of its own).
  void HandleMidiMessage(const MidiMessage& m) override {
    AsProcessingThread([&] { Velmora::HandleMidiMessage(m); });
  }
  void Block(int frames = 512) {
    AsProcessingThread([&] { ProcessBlock(nullptr, nullptr, frames); });
  }
  template <typename F>
  void AsProcessingThread(const F& f) {
    if (Editor() != nullptr && Editor()->IsWindowThread()) {
      std::thread([&] { AsProcessingThread(f); }).join();
      return;
    }
    auto lock = Lock();
    f();
  }
  void SetParam(int index, double value) {  // a host or editor parameter write
    auto lock = Lock();
    GetParam(index)->SetClamped(value);
    OnParamChanged(index);
  }
  // Status, note and offset of each message that one block sends, packed.
  std::vector<int64_t> SendBlock(int frames = 512) {
    sent.clear();
    Block(frames);
    std::vector<int64_t> out;
    for (const MidiMessage& m : sent) out.push_back(int64_t{m.status} << 40 | int64_t{m.data1} << 32 | m.offset);
    return out;
  }

  // The parts of the plug-in tests look into.
  ChordEngine& Engine() { return mEngine; }
  ChordAuditions& Auditions() { return mAuditions; }
  MidiQueue& Queue() { return mAuditions.MidiQueue(); }
  Recorder& Recording() { return mRecorder; }
  ViewChanges& Changes() { return mChanges; }
  std::vector<PositionedEvent> RecordedEvents() { return mRecorder.RecordedEvents(); }
  int32_t RecordPosition() const { return mRecorder.RecordPosition(); }
  bool RecordingActive() const { return mRecorder.RecordingActive(); }
  bool RecordArmed() const { return mRecorder.RecordArmed(); }
  int32_t LastPressedNote() const { return mLastPressedNote; }
  const std::array<std::string, kStateTextCount>& StateTexts() const { return mStateTexts; }
};

constexpr int64_t On(int note, int offset = 0) { return int64_t{0x90} << 40 | int64_t{note} << 32 | offset; }
constexpr int64_t Off(int note, int offset = 0) { return int64_t{0x80} << 40 | int64_t{note} << 32 | offset; }
using Sent = std::vector<int64_t>;

// The platform's drag: remembers the file and its bytes as each drag began.
struct FakeDrag : FileDragSource {
  std::vector<std::vector<uint8_t>> dragged;
  std::vector<std::string> paths;
  bool DragFile(const std::string& path) override;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool FakeDrag::DragFile(const std::string& path) {
  dragged.push_back(ReadBytes(path));
  paths.push_back(path);
  return true;
}

// The file as midicsv reads it back: the header line and the note lines.
inline std::string MidiCsv(const std::string& path) {
  std::string text;
  if (FILE* pipe = popen(("midicsv '" + path + "' 2>&1").c_str(), "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, pipe)) {
      const std::string s = line;
      if (s.find("Header") != std::string::npos || s.find("Note_") != std::string::npos) text += s;
    }
    pclose(pipe);
  }
  return text;
}

// A private data folder per test, set before the instance fixes its export path.
struct DataHome {
  fs::path path = fs::temp_directory_path() /
                  ("velmora-core-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
  DataHome() {
    fs::remove_all(path);
    setenv("XDG_DATA_HOME", path.c_str(), 1);
  }
  ~DataHome() { fs::remove_all(path); }
};

class CoreTest : public ::testing::Test {
 protected:
  CoreTest() { host.SetFileDragSource(&drag); }
  ~CoreTest() override { host.SetFileDragSource(nullptr); }
  ChordEngine& engine() { return host.Engine(); }

  DataHome home;
  FakeDrag drag;
  HostedVelmora host;
};

inline MidiMessage HostNote(int status, int note, int velocity) {
  MidiMessage m;
  m.status = static_cast<uint8_t>(status);
  m.data1 = static_cast<uint8_t>(note);
  m.data2 = static_cast<uint8_t>(velocity);
  return m;
}

inline ChordEntry Chord(int root, int chordType, int gridIndex = -1) {
  return EntryFromChordRow(ChordRowIndex(root, chordType), gridIndex);
}

}  // namespace velmora::test
