// Velmora.vst3's process() allocates nothing once warmed up: notes in,
// parameter changes, a take recorded from the process context and ended,
// with the program's allocator counting (the module allocates through it:
// the program exports it). The host's lists are made before counting starts.
#include <array>

#include "tests/core/AllocationHook.h"
#include "tests/integration/ModuleSupport.h"
#include "tools/vsthost/Vst3Host.h"
#include "tools/vsthost/Vst3HostParts.h"

namespace velmora::integration {
namespace {

namespace vst3 = velmora::vst3;
using test::AllocationHook;

TEST(Vst3AllocationTest, NotesValuesAndATakeInProcessAllocateNothing) {
  DataHome home;
  host::Vst3Host host;
  ASSERT_TRUE(host.load(VELMORA_VST3_BUNDLE)) << host.error();
  host.resume();
  std::string cells = "scale 0";
  for (int i = 0; i < 16; ++i)  // sixteen six-note chords, the widest cells there are
    cells += " cell " + std::to_string(i) + " " + std::to_string(i % 12) + " " + std::to_string(29 - i % 4);
  ASSERT_TRUE(host.setChunk(host::ChunkKind::Program, MakeState(cells)));
  ASSERT_TRUE(host.setParameter(27, 1.0f));  // Record

  host::EventList in(64), out(4096);
  host::ParamChanges changes(8, 8), outChanges(64, 8);
  std::array<float, 512> left{}, right{};
  float* channels[2] = {left.data(), right.data()};
  vst3::AudioBusBuffers output{};
  output.numChannels = 2;
  output.channelBuffers32 = channels;
  vst3::ProcessContext context{};
  context.sampleRate = 44100.0;
  context.tempo = 120.0;
  vst3::ProcessData data{};
  data.numSamples = 512;
  data.numOutputs = 1;
  data.outputs = &output;
  data.inputEvents = &in;
  data.outputEvents = &out;
  data.inputParameterChanges = &changes;
  data.outputParameterChanges = &outChanges;
  data.processContext = &context;
  auto block = [&](bool playing, int key, bool on, double loose) {
    in.clear();
    changes.clear();
    out.clear();
    outChanges.clear();
    if (key >= 0) {
      vst3::Event e{};
      e.type = on ? vst3::Event::kNoteOnEvent : vst3::Event::kNoteOffEvent;
      e.sampleOffset = key % 16;
      if (on) e.noteOn = vst3::NoteOnEvent{0, static_cast<vst3::int16>(key), 0.0f, 0.8f, 0, -1};
      else e.noteOff = vst3::NoteOffEvent{0, static_cast<vst3::int16>(key), 0.0f, -1, 0.0f};
      in.addEvent(e);
      vst3::int32 index = 0;
      if (vst3::IParamValueQueue* queue = changes.addParameterData(11, index)) queue->addPoint(40, loose, index);
    }
    context.state = vst3::ProcessContext::kTempoValid | (playing ? vst3::ProcessContext::kPlaying : 0u);
    host.processor()->process(data);
    context.projectTimeSamples += playing ? 512 : 0;
  };
  int pushed = 0;
  auto round = [&] {
    block(true, -1, false, 0.0);
    for (int k = 0; k < 16; ++k) {
      block(true, 36 + k, true, (k % 5) / 4.0);
      pushed += out.getEventCount();
    }
    for (int k = 0; k < 16; ++k) {
      block(true, 36 + k, false, 0.0);
      pushed += out.getEventCount();
    }
    block(false, -1, false, 0.0);  // ends the take: its export is handed to the writer
  };
  round();  // warm-up
  pushed = 0;
  EXPECT_EQ(AllocationHook::Count(round), 0);
  EXPECT_GT(pushed, 16 * 6);
  // The counter does see the module's allocations: a state save makes some.
  std::vector<uint8_t> state;
  state.reserve(1 << 16);
  EXPECT_GT(AllocationHook::Count([&] { host.getChunk(host::ChunkKind::Program, state); }), 0);
}

}  // namespace
}  // namespace velmora::integration
