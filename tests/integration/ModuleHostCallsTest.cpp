// Hosts call in odd orders and answer what they like; Velmora.so must carry on.
#include <climits>
#include <thread>

#include "tests/integration/ModuleSupport.h"

namespace velmora::integration {
namespace {


class ModuleHostCallsTest : public ::testing::Test {
 protected:
  DataHome home;
};

std::vector<float> Silence(std::int32_t frames) { return std::vector<float>(static_cast<size_t>(frames), 0.0f); }

TEST_F(ModuleHostCallsTest, AHostThatAnswersNothingStillGetsAWorkingInstance) {
  SilentHostInstance instance(VELMORA_MODULE);
  ASSERT_NE(instance.effect(), nullptr);
  instance.Dispatch(effOpen);
  instance.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  instance.Dispatch(effSetBlockSize, 0, 256);
  instance.Dispatch(effMainsChanged, 0, 1);
  const Bytes state = MakeState("scale 0 cell 0 0 0");
  ASSERT_EQ(instance.Dispatch(effSetChunk, 1, static_cast<std::intptr_t>(state.size()),
                              const_cast<std::uint8_t*>(state.data())),
            1);
  // Record armed and a note played: no time info, no MIDI accepted.
  instance.effect()->setParameter(instance.effect(), 27, 1.0f);
  EventList events;
  events.Add(0, 0x90, 36, 100);
  EXPECT_EQ(instance.Dispatch(effProcessEvents, 0, 0, events.List()), 1);
  const int before = SilentHostInstance::calls;
  instance.Process(256);
  EXPECT_GT(SilentHostInstance::calls, before);  // it did ask
  void* data = nullptr;
  const std::intptr_t size = instance.Dispatch(effGetChunk, 1, 0, &data);
  ASSERT_EQ(size, static_cast<std::intptr_t>(state.size()));
  // Same state apart from the Record parameter, which is now on.
  EXPECT_EQ(StateTexts(Bytes(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size)),
            StateTexts(state));
  instance.Dispatch(effMainsChanged, 0, 0);
  instance.Close();
  EXPECT_FALSE(fs::exists(home.ExportFile()));  // the transport never ran
}

TEST_F(ModuleHostCallsTest, CloseRightAfterOpenAndProcessingBeforeOpen) {
  {
    SilentHostInstance instance(VELMORA_MODULE);
    ASSERT_NE(instance.effect(), nullptr);
    instance.Dispatch(effOpen);
  }  // effClose
  SilentHostInstance instance(VELMORA_MODULE);
  ASSERT_NE(instance.effect(), nullptr);
  instance.Process(512);  // no effOpen, no rate, no block size, not resumed
  EventList events;
  events.Add(0, 0x90, 36, 100);
  EXPECT_EQ(instance.Dispatch(effProcessEvents, 0, 0, events.List()), 1);
  instance.Process(512);
  instance.Dispatch(effOpen);
  instance.Process(64);
  EXPECT_EQ(instance.Dispatch(effGetVendorVersion), 10400);
}

TEST_F(ModuleHostCallsTest, NullCallbackIsRefusedByTheEntryPoint) {
  host::PluginModule module;
  ASSERT_TRUE(module.load(VELMORA_MODULE)) << module.error();
  for (const char* name : {"VSTPluginMain", "main"}) {
    auto entry = reinterpret_cast<VstPluginEntryProc>(module.symbol(name));
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_EQ(entry(nullptr), nullptr) << name;
  }
}

class ModuleOddSequenceTest : public ModuleTest {
 protected:
  std::vector<Note> RawBlock(std::int32_t frames) {
    std::vector<float> left = Silence(frames), right = Silence(frames);
    float* outputs[2] = {left.data(), right.data()};
    host.effect()->processReplacing(host.effect(), nullptr, outputs, frames);
    for (float sample : left) EXPECT_EQ(sample, 0.0f);
    return Notes(host.takeCapturedMidi());
  }
};

TEST_F(ModuleOddSequenceTest, SuspendWithoutResumeAndResumeTwice) {
  host.open();
  EXPECT_EQ(host.dispatch(effMainsChanged, 0, 0), 0);
  EXPECT_EQ(host.dispatch(effMainsChanged, 0, 1), 0);
  EXPECT_EQ(host.dispatch(effMainsChanged, 0, 1), 0);
  ASSERT_TRUE(host.setChunk(ChunkKind::Program, MakeState("cell 0 0 0")));
  EventList events;
  events.Add(0, 0x90, 36, 100);
  ASSERT_EQ(host.dispatch(effProcessEvents, 0, 0, events.List()), 1);
  EXPECT_EQ(RawBlock(512).size(), 3u);
}

TEST_F(ModuleOddSequenceTest, BlocksLargerThanAnnouncedStillWork) {
  Start(host, 64);
  ASSERT_TRUE(host.setChunk(ChunkKind::Program, MakeState("cell 0 0 0")));
  EventList events;
  events.Add(3000, 0x90, 36, 100);
  ASSERT_EQ(host.dispatch(effProcessEvents, 0, 0, events.List()), 1);
  EXPECT_EQ(RawBlock(4096), (std::vector<Note>{{0x90, 60, 100, 3000}, {0x90, 64, 100, 3000}, {0x90, 67, 100, 3000}}));
  EXPECT_EQ(RawBlock(64), std::vector<Note>{});
}

// Frames outside the block are taken as its first or its last.
TEST_F(ModuleOddSequenceTest, NegativeAndHugeDeltaFramesPlayInsideTheBlock) {
  Start(host);
  ASSERT_TRUE(host.setChunk(ChunkKind::Program, MakeState("cell 0 0 0 cell 1 2 0")));
  EventList events;
  events.Add(-5, 0x90, 36, 100);
  events.Add(INT_MAX, 0x90, 37, 90);
  events.Add(INT_MIN, 0x80, 36, 0);
  ASSERT_EQ(host.dispatch(effProcessEvents, 0, 0, events.List()), 1);
  const std::vector<Note> out = RawBlock(512);
  ASSERT_EQ(out.size(), 9u);
  for (size_t i = 0; i < out.size(); ++i) EXPECT_EQ(out[i].delta, i < 3 ? 0 : 511) << i;
  EXPECT_EQ(out[3], (Note{0x90, 62, 90, 511}));
  EXPECT_EQ(out[8], (Note{0x80, 67, 0, 511}));
}

TEST_F(ModuleOddSequenceTest, EventListsWithNullEntriesAndOtherTypes) {
  Start(host);
  ASSERT_TRUE(host.setChunk(ChunkKind::Program, MakeState("cell 0 0 0")));
  EventList events;
  events.Add(0, 0x90, 36, 100);
  events.Add(0, 0x80, 36, 0);
  VstEvents* list = events.List();
  list->events[1]->type = 99;  // unknown type: ignored
  list->events[0] = nullptr;   // skipped
  EXPECT_EQ(host.dispatch(effProcessEvents, 0, 0, list), 1);
  EXPECT_EQ(host.dispatch(effProcessEvents, 0, 0, nullptr), 0);
  EXPECT_EQ(RawBlock(256), std::vector<Note>{});
}

// Label "asan": LeakSanitizer checks that effClose frees every instance.
TEST_F(ModuleTest, CloseFreesInstancesAndWritesThePendingTake) {
  for (int i = 0; i < 8; ++i) {
    VstHost other;
    ASSERT_TRUE(other.load(VELMORA_MODULE)) << other.error();
    Start(other);
    ASSERT_TRUE(other.setChunk(ChunkKind::Program, MakeState("scale 0 cell 0 0 0")));
    ASSERT_TRUE(other.setParameter(8, 1.0f));  // RandomizeGrid
    ASSERT_TRUE(other.process(1));
  }  // each closed here
  Start(host);
  ASSERT_TRUE(host.setChunk(ChunkKind::Program, MakeState("cell 0 0 0")));
  ASSERT_TRUE(host.setParameter(27, 1.0f));  // Record
  host.setTransportPlaying(true);
  ASSERT_TRUE(host.queueMidi(0, 0x90, 36, 100));
  ASSERT_TRUE(host.process(4));
  ASSERT_TRUE(host.queueMidi(0, 0x80, 36, 0));
  ASSERT_TRUE(host.process(4));
  host.setTransportPlaying(false);
  ASSERT_TRUE(host.process(1));  // the take ends; its export is queued
  host.close();                  // and written before the instance goes
  ASSERT_TRUE(fs::exists(home.ExportFile()));
  EXPECT_GT(fs::file_size(home.ExportFile()), 14u);  // more than the header chunk
}

}  // namespace
}  // namespace velmora::integration
