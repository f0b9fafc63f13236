// TestInstrument.so through the host harness: only the binary interface.
#include "tools/vsthost/VstHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace velmora::host {
namespace {

using Bytes = std::vector<std::uint8_t>;

class TestInstrumentHost : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(host.load(VELMORA_TEST_INSTRUMENT)) << host.error(); }
  static void Start(VstHost& h) {
    h.open();
    h.setSampleRate(48000.0);
    ASSERT_TRUE(h.setBlockSize(256));
    h.resume();
  }
  std::vector<float> Parameters(VstHost& h) {
    std::vector<float> values;
    for (std::int32_t i = 0; i < h.parameterCount(); ++i) values.push_back(h.parameter(i));
    return values;
  }
  VstHost host;
};

TEST_F(TestInstrumentHost, PublishesItsRecordAndParameterTexts) {
  const AEffect& effect = *host.effect();
  EXPECT_EQ(effect.magic, kEffectMagic);
  EXPECT_EQ(std::vector<std::int32_t>({effect.numPrograms, effect.numParams, effect.numInputs,
                                       effect.numOutputs, effect.flags, effect.version}),
            std::vector<std::int32_t>({3, 6, 0, 2, 0x1130, 10400}));
  EXPECT_EQ(effect.uniqueID, 0x56547374);
  EXPECT_NE(effect.process, effect.processReplacing);
  EXPECT_EQ(host.effectName() + "/" + host.vendorString() + "/" + host.productString(),
            "TestInstrument/LumarexLLC/Velmora Tests");
  Start(host);
  const std::vector<std::string> names{"Power", "Voices", "Gain", "Mode", "ScalesD", "Cutoff"};
  const std::vector<std::string> displays{"on", "4", "5.0", "Low", "0", "20000.0"};
  const std::vector<std::string> labels{"", "vc", "dB", "", "", "Hz"};
  for (std::int32_t i = 0; i < 6; ++i) {
    EXPECT_EQ(host.parameterName(i), names[i]);
    EXPECT_EQ(host.parameterDisplay(i), displays[i]);
    EXPECT_EQ(host.parameterLabel(i), labels[i]);
  }
}

TEST_F(TestInstrumentHost, EchoesMidiFromInsideTheBlock) {
  Start(host);
  host.setTransportPlaying(true);
  ASSERT_TRUE(host.queueMidi(100, 0x90, 60, 99));
  ASSERT_TRUE(host.queueMidi(300, 0x80, 60, 0));  // second block, delta 44
  ASSERT_TRUE(host.process(2));
  const std::vector<CapturedMidi> midi = host.takeCapturedMidi();
  ASSERT_EQ(midi.size(), 2u);
  EXPECT_EQ(midi[0].deltaFrames, 100);
  EXPECT_EQ(midi[0].bytes, (Bytes{0x90, 60, 99}));
  EXPECT_EQ(midi[1].deltaFrames, 44);
  EXPECT_EQ(host.wantMidiCalls(), 2);
  EXPECT_EQ(host.output(0)[255], 0.25f);
  EXPECT_EQ(host.output(1)[0], 0.5f);
}

TEST_F(TestInstrumentHost, ChunksCarryTheStateToOtherInstances) {
  Start(host);
  ASSERT_TRUE(host.setParameter(2, 0.75f));
  host.dispatch(effSetProgramName, 0, 0, const_cast<char*>("Lead"));
  Bytes program, bank;
  ASSERT_TRUE(host.getChunk(ChunkKind::Program, program));
  ASSERT_TRUE(host.getChunk(ChunkKind::Bank, bank));

  VstHost second, third;
  ASSERT_TRUE(second.load(VELMORA_TEST_INSTRUMENT));
  ASSERT_TRUE(third.load(VELMORA_TEST_INSTRUMENT));
  Start(second);
  ASSERT_TRUE(second.setChunk(ChunkKind::Program, program)) << second.error();
  EXPECT_EQ(Parameters(second), Parameters(host));
  ASSERT_TRUE(third.setChunk(ChunkKind::Bank, bank)) << third.error();
  EXPECT_EQ(Parameters(third), Parameters(host));
  char name[24] = {};
  third.dispatch(effGetProgramName, 0, 0, name);
  EXPECT_STREQ(name, "Lead");

  Bytes damaged = program;
  damaged[14] ^= 0x20;  // inside the state's tag
  ASSERT_TRUE(second.setParameter(2, 0.1f));
  const std::vector<float> before = Parameters(second);
  EXPECT_FALSE(second.setChunk(ChunkKind::Program, damaged));
  EXPECT_FALSE(second.setChunk(ChunkKind::Program, Bytes(program.begin(), program.begin() + 9)));
  EXPECT_EQ(Parameters(second), before);
}

TEST_F(TestInstrumentHost, SurvivesOddHostSequences) {
  VstHost scanned;  // a scan: load, one question, close
  ASSERT_TRUE(scanned.load(VELMORA_TEST_INSTRUMENT));
  EXPECT_EQ(scanned.dispatch(effGetVstVersion), 2400);
  scanned.close();
  AEffect* effect = host.effect();
  const std::vector<float> values = Parameters(host);
  // Processing before effOpen, and a longer block than the one announced.
  std::vector<float> left(3000), right(3000);
  float* outputs[] = {left.data(), right.data()};
  effect->processReplacing(effect, nullptr, outputs, 3000);
  EXPECT_EQ(right[2999], 0.5f);
  host.dispatch(effMainsChanged, 0, 0);
  host.dispatch(effMainsChanged, 0, 1);
  host.dispatch(effMainsChanged, 0, 1);
  host.open();

  VstMidiEvent odd{kVstMidiType, 0, -1000, 0, 0, 0, {char(0x90), 40, 1, 0}, 0, 0, 0, 0};
  unsigned char storage[sizeof(VstEvents) + 4 * sizeof(VstEvent*)] = {};
  auto* list = reinterpret_cast<VstEvents*>(storage);
  list->numEvents = 4;
  VstEvent** slots = list->events;
  slots[0] = reinterpret_cast<VstEvent*>(&odd);
  slots[3] = reinterpret_cast<VstEvent*>(&odd);
  EXPECT_EQ(host.dispatch(effProcessEvents, 0, 0, list), 1);
  effect->processReplacing(effect, nullptr, outputs, 64);  // the events play with their block
  EXPECT_EQ(host.takeCapturedMidi().size(), 2u);
  EXPECT_EQ(host.dispatch(effProcessEvents, 0, 0, nullptr), 0);

  int parent = 0;
  void* where = nullptr;
  for (std::intptr_t answer :
       {host.dispatch(effEditOpen, 0, 0, &parent), host.dispatch(effEditGetRect, 0, 0, &where),
        host.dispatch(effEditClose), host.dispatch(effEditIdle),
        host.dispatch(effGetChunk, 1, 0, nullptr), host.dispatch(effSetChunk, 1, -4, left.data()),
        host.dispatch(effSetChunk, 0, 64, nullptr)}) {
    EXPECT_EQ(answer, 0);
  }
  EXPECT_EQ(host.dispatch(effString2Parameter, 0, 0, nullptr), 1);
  effect->setParameter(effect, 30, 1.0f);
  effect->setParameter(effect, -1, 1.0f);
  EXPECT_EQ(effect->getParameter(effect, 30), 0.0f);
  EXPECT_EQ(Parameters(host), values);

  host.setSampleRate(0.0);
  ASSERT_TRUE(host.setBlockSize(64));
  host.resume();
  ASSERT_TRUE(host.process(1));
  EXPECT_EQ(host.output(1)[63], 0.5f);
}

}  // namespace
}  // namespace velmora::host
