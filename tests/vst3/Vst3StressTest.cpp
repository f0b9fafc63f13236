// Velmora.vst3's threads on one instance, as a host drives it: the audio
// thread runs process() with notes and parameter changes in every block
// (the bypass among them); the UI thread meanwhile saves and restores the
// processor's state, hands it to the controller, and asks the controller
// for values and texts. Under ThreadSanitizer it must report nothing; every
// call answers as it should.
#include <atomic>
#include <thread>

#include "tests/integration/ModuleSupport.h"
#include "tools/vsthost/Vst3Host.h"
#include "tools/vsthost/Vst3HostParts.h"

namespace velmora::integration {
namespace {

namespace vst3 = velmora::vst3;

constexpr int kBlocks = 3000;
constexpr vst3::ParamID kBypassId = 0x56420000;

TEST(Vst3StressTest, ProcessingStateAndControllerCallsOnTheirThreads) {
  DataHome home;
  host::Vst3Host host;
  ASSERT_TRUE(host.load(VELMORA_VST3_BUNDLE)) << host.error();
  host.resume();
  ASSERT_TRUE(host.setChunk(host::ChunkKind::Program, MakeState("scale 0 cell 0 0 0 cell 1 5 0 cell 2 7 0")));
  ASSERT_TRUE(host.setParameter(27, 1.0f));  // Record: takes end and are written meanwhile

  std::atomic<bool> done{false};
  std::atomic<int> failures{0};
  std::atomic<int> outEvents{0};
  std::thread audio([&] {
    host::EventList in(64), out(4096);
    host::ParamChanges changes(8, 8), outChanges(64, 8);
    vst3::ProcessContext context{};
    context.sampleRate = 44100.0;
    context.tempo = 120.0;
    vst3::ProcessData data{};
    data.numSamples = 256;
    data.inputEvents = &in;
    data.outputEvents = &out;
    data.inputParameterChanges = &changes;
    data.outputParameterChanges = &outChanges;
    data.processContext = &context;
    for (int b = 0; b < kBlocks; ++b) {
      in.clear();
      out.clear();
      changes.clear();
      outChanges.clear();
      vst3::Event e{};
      const bool on = b % 2 == 0;
      const auto key = static_cast<vst3::int16>(36 + (b / 2) % 3);
      e.type = on ? vst3::Event::kNoteOnEvent : vst3::Event::kNoteOffEvent;
      e.sampleOffset = b % 256;
      if (on) e.noteOn = vst3::NoteOnEvent{0, key, 0.0f, 0.8f, 0, -1};
      else e.noteOff = vst3::NoteOffEvent{0, key, 0.0f, -1, 0.0f};
      in.addEvent(e);
      vst3::int32 index = 0;
      if (auto* queue = changes.addParameterData(11, index)) queue->addPoint(b % 200, (b % 5) / 4.0, index);
      if (b % 100 == 50)
        if (auto* queue = changes.addParameterData(kBypassId, index)) queue->addPoint(0, (b / 100) % 2, index);
      context.state = vst3::ProcessContext::kTempoValid | ((b / 300) % 2 ? vst3::ProcessContext::kPlaying : 0u);
      data.numSamples = b % 97 == 0 ? 0 : 256;
      if (host.processor()->process(data) != vst3::kResultOk) ++failures;
      outEvents += out.getEventCount();
      context.projectTimeSamples += data.numSamples;
    }
    done = true;
  });
  int rounds = 0;
  while (!done) {
    std::vector<std::uint8_t> state;
    if (!host.getChunk(host::ChunkKind::Program, state) || !host.setChunk(host::ChunkKind::Program, state)) ++failures;
    vst3::IEditController* controller = host.controller();
    for (vst3::ParamID id : {0u, 11u, 21u, 27u, kBypassId}) {
      vst3::String128 text{};
      if (controller->getParamStringByValue(id, controller->getParamNormalized(id), text) != vst3::kResultOk)
        ++failures;
    }
    controller->setParamNormalized(11, (rounds % 5) / 4.0);
    ++rounds;
  }
  audio.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_GT(rounds, 0);
  EXPECT_GT(outEvents.load(), 100);
}

}  // namespace
}  // namespace velmora::integration
