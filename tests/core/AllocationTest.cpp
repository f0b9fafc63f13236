// The processing thread never allocates once warmed up: every path through
// processReplacing and effProcessEvents runs with the global allocator
// counting, and a single allocation fails the test. The plug-in is driven
// through its effect record, with a host callback that allocates nothing.
#include <gtest/gtest.h>

#include "AllocationHook.h"
#include "CoreTestSupport.h"
#include "framework/plugin/vst2/IPluginVST.h"

namespace velmora::test {
namespace {

// A host that answers time and takes MIDI without allocating.
struct QuietHost {
  static inline VstTimeInfo time{};
  static inline int midiOut = 0;
  static intptr_t VST_CALL Callback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    switch (opcode) {
      case audioMasterVersion: return kVstVersion;
      case audioMasterGetTime: return reinterpret_cast<intptr_t>(&time);
      case audioMasterProcessEvents: ++midiOut; return 1;
      default: return 0;
    }
  }
};

// The real adapter, host calls included; only the engine is opened up.
class Plugin : public Velmora {
 public:
  using Velmora::Velmora;
  ChordEngine& Engine() { return mEngine; }
  const ViewChanges& Changes() const { return mChanges; }
};

class AllocationTest : public ::testing::Test {
 protected:
  AllocationTest() {
    QuietHost::time = VstTimeInfo{};
    QuietHost::time.sampleRate = 44100.0;
    QuietHost::time.tempo = 120.0;
    QuietHost::time.flags = kVstTempoValid;
    effect = adapter->Effect();
    Dispatch(effOpen);
    Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Dispatch(effSetBlockSize, 0, 512);
    Dispatch(effMainsChanged, 0, 1);
  }
  ~AllocationTest() override { Dispatch(effClose); }

  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }
  void Block() { effect->processReplacing(effect, nullptr, outputs, 512); }
  void HostNote(uint8_t status, uint8_t note) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof event;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(note);
    event.midiData[2] = 100;
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&event);
    Dispatch(effProcessEvents, 0, 0, &events);
  }
  void Transport(bool running) {
    QuietHost::time.flags = kVstTempoValid | (running ? kVstTransportPlaying : 0);
  }
  void SetParameter(int index, float value) { effect->setParameter(effect, index, value); }
  template <typename F>
  int Count(F f) {
    return AllocationHook::Count(f);
  }

  DataHome home;
  // The effect's close deletes both.
  IPluginVST* adapter = new IPluginVST(&QuietHost::Callback, [](PluginHost& host) { return std::make_unique<Plugin>(host); });
  Plugin* plugin = static_cast<Plugin*>(&adapter->Plugin());
  AEffect* effect = nullptr;
  float left[512] = {}, right[512] = {};
  float* outputs[2] = {left, right};
};

// Sixteen six-note chords in the grid, the widest cells there are.
void FillGrid(Plugin& plugin) {
  auto lock = plugin.Lock();
  for (int i = 0; i < kGridCellCount; ++i)
    plugin.Engine().ChordGrid[i] = EntryFromChordRow(ChordRowIndex(i % 12, 29 - i % 4), i);
}

TEST_F(AllocationTest, NoteOnAndOffOfASixNoteCell) {
  FillGrid(*plugin);
  HostNote(0x90, 36);  // warm-up
  Block();
  HostNote(0x80, 36);
  Block();
  EXPECT_EQ(Count([&] {
              HostNote(0x90, 37);
              Block();
              HostNote(0x80, 37);
              Block();
            }),
            0);
  EXPECT_GT(QuietHost::midiOut, 12);
  // The counter does see the plug-in's allocations: a first state save makes some.
  void* chunk = nullptr;
  EXPECT_GT(Count([&] { Dispatch(effGetChunk, 1, 0, &chunk); }), 0);
}

TEST_F(AllocationTest, AHostNoteBurstPastTheQueuesRoom) {
  FillGrid(*plugin);
  const auto burst = [&] {
    for (int round = 0; round < 20; ++round) {
      for (int k = 0; k < 16; ++k) HostNote(0x90, static_cast<uint8_t>(36 + k));
      for (int k = 0; k < 16; ++k) HostNote(0x80, static_cast<uint8_t>(36 + k));
    }
    Block();
  };
  burst();  // warm-up
  const int sentBefore = QuietHost::midiOut;
  EXPECT_EQ(Count(burst), 0);
  EXPECT_GT(QuietHost::midiOut - sentBefore, 96);
}

TEST_F(AllocationTest, BlocksThatRecordAndEndATake) {
  FillGrid(*plugin);
  SetParameter(kRecord, 1.0f);
  Transport(true);
  for (int round = 0; round < 2; ++round) {  // the first round warms up
    const int sent = Count([&] {
      for (int k = 0; k < 16; ++k) HostNote(0x90, static_cast<uint8_t>(36 + k));  // 96 notes, the take starts
      Block();
      for (int k = 0; k < 16; ++k) HostNote(0x80, static_cast<uint8_t>(36 + k));
      Block();
      Transport(false);
      Block();  // ends the take
      Transport(true);
    });
    if (round == 1) {
      EXPECT_EQ(sent, 0);
    }
    plugin->WaitForExports();
  }
  EXPECT_TRUE(fs::exists(plugin->ExportFilePath()));
}

TEST_F(AllocationTest, KeyboardPollThatRebuildsTheList) {
  plugin->SetPressedKey(-1);
  Block();
  for (int key : {5, -1, 7, -1}) {  // warm-up: the list takes its room
    plugin->SetPressedKey(key);
    Block();
  }
  const uint32_t rebuilds = plugin->Changes().chordList;
  EXPECT_EQ(Count([&] {
              for (int key : {9, -1, 12, -1, 9, -1}) {
                plugin->SetPressedKey(key);
                Block();
              }
              for (int key : {12, -1, 12, -1}) plugin->SetPressedKey(key);  // two taps waiting for one block
              Block();
            }),
            0);
  EXPECT_EQ(plugin->Changes().chordList, rebuilds + 5);
  EXPECT_FALSE(plugin->Engine().ChordList.empty());
}

}  // namespace
}  // namespace velmora::test
