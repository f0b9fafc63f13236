#pragma once

// Velmora.so through the binary interface only: the host harness, or the
// module's entry point with a callback of the test's own.
#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

// DataHome (where the module writes its export) and MakeState (program
// chunks from velmora-make-state) are the platform's own: the test's
// CMakeLists.txt puts platform/posix or platform/win on the include path.
#include "ModulePlatform.h"
#include "tools/vsthost/PluginModule.h"
#include "tools/vsthost/VstHost.h"

namespace velmora::integration {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using host::CapturedMidi;
using host::ChunkKind;
using host::VstHost;

// The six state texts at the front of a program chunk (after its 8-byte header).
inline std::vector<std::string> StateTexts(const Bytes& chunk) {
  std::vector<std::string> texts;
  size_t position = 8;
  for (int i = 0; i < 6 && position + 4 <= chunk.size(); ++i) {
    std::uint32_t length = 0;
    for (int b = 3; b >= 0; --b) length = length << 8 | chunk[position + static_cast<size_t>(b)];
    position += 4;
    if (length > chunk.size() - position) break;
    texts.emplace_back(chunk.begin() + static_cast<std::ptrdiff_t>(position),
                       chunk.begin() + static_cast<std::ptrdiff_t>(position + length));
    position += length;
  }
  return texts;
}

// Status, note, velocity and deltaFrames of each captured event, packed for
// comparisons.
struct Note {
  int status, note, velocity, delta;
  bool operator==(const Note& o) const {
    return status == o.status && note == o.note && velocity == o.velocity && delta == o.delta;
  }
};
inline std::ostream& operator<<(std::ostream& out, const Note& n) {
  return out << "{" << std::hex << n.status << std::dec << " " << n.note << " " << n.velocity << " @" << n.delta
             << "}";
}
inline std::vector<Note> Notes(const std::vector<CapturedMidi>& midi) {
  std::vector<Note> notes;
  for (const CapturedMidi& m : midi) {
    if (m.bytes.size() >= 3) notes.push_back({m.bytes[0], m.bytes[1], m.bytes[2], m.deltaFrames});
  }
  return notes;
}

// One instance in the harness, started the way hosts start it.
class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(host.load(VELMORA_MODULE)) << host.error(); }
  static void Start(VstHost& h, std::int32_t block = 512) {
    h.open();
    h.setSampleRate(44100.0);
    ASSERT_TRUE(h.setBlockSize(block));
    h.resume();
  }
  Bytes ProgramChunk(VstHost& h) {
    Bytes bytes;
    EXPECT_TRUE(h.getChunk(ChunkKind::Program, bytes)) << h.error();
    return bytes;
  }

  DataHome home;
  VstHost host;
};

// The module's entry point with a host callback that answers 0 to everything:
// no time, no MIDI accepted, no names.
class SilentHostInstance {
 public:
  explicit SilentHostInstance(const char* path) {
    if (!module_.load(path)) return;
    auto entry = reinterpret_cast<VstPluginEntryProc>(module_.symbol("VSTPluginMain"));
    if (entry != nullptr) effect_ = entry(&Silent);
  }
  ~SilentHostInstance() { Close(); }
  AEffect* effect() const { return effect_; }
  std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                         void* ptr = nullptr, float opt = 0.0f) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
  }
  void Process(std::int32_t frames) {
    std::vector<float> left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames));
    float* outputs[2] = {left.data(), right.data()};
    effect_->processReplacing(effect_, nullptr, outputs, frames);
  }
  void Close() {
    if (effect_ != nullptr) Dispatch(effClose);
    effect_ = nullptr;
  }
  static inline int calls = 0;

 private:
  static std::intptr_t VST_CALL Silent(AEffect*, std::int32_t, std::int32_t, std::intptr_t, void*, float) {
    ++calls;
    return 0;
  }
  host::PluginModule module_;
  AEffect* effect_ = nullptr;
};

// One VST MIDI event list of short messages, built the way hosts build it.
class EventList {
 public:
  void Add(std::int32_t delta, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = delta;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    events_.push_back(event);
  }
  VstEvents* List() {
    storage_.assign(sizeof(VstEvents) + events_.size() * sizeof(VstEvent*), 0);
    auto* list = reinterpret_cast<VstEvents*>(storage_.data());
    list->numEvents = static_cast<std::int32_t>(events_.size());
    // The declared array holds two; hosts make it as long as they need.
    auto** slots = reinterpret_cast<VstEvent**>(storage_.data() + offsetof(VstEvents, events));
    for (size_t i = 0; i < events_.size(); ++i) slots[i] = reinterpret_cast<VstEvent*>(&events_[i]);
    return list;
  }

 private:
  std::vector<VstMidiEvent> events_;
  std::vector<std::uint8_t> storage_;
};

}  // namespace velmora::integration
