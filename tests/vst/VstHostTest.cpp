#include "tools/vsthost/VstHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace velmora::host {
namespace {

class NullPluginHost : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(host.load(VELMORA_NULL_PLUGIN)) << host.error(); }
  void start(double rate, std::int32_t frames) {
    host.open();
    host.setSampleRate(rate);
    ASSERT_TRUE(host.setBlockSize(frames));
    host.resume();
  }
  VstHost host;
};

TEST_F(NullPluginHost, ReadsTheEffectRecord) {
  const AEffect& effect = *host.effect();
  EXPECT_EQ(effect.magic, kEffectMagic);
  EXPECT_EQ(effect.numPrograms, 1);
  EXPECT_EQ(effect.numParams, 0);
  EXPECT_EQ(effect.numInputs, 0);
  EXPECT_EQ(effect.numOutputs, 2);
  EXPECT_EQ(effect.flags, effFlagsCanReplacing | effFlagsIsSynth);
  EXPECT_EQ(effect.uniqueID, 0x564E756C);
  EXPECT_NE(effect.process, effect.processReplacing);
  EXPECT_EQ(host.dispatch(effGetVstVersion), kVstVersion);
  EXPECT_EQ(host.dispatch(effGetPlugCategory), kPlugCategSynth);
}

TEST_F(NullPluginHost, ProcessesOnlyWhenResumed) {
  host.open();
  EXPECT_FALSE(host.process(1));
  EXPECT_NE(host.error().find("resume"), std::string::npos);
  host.resume();
  ASSERT_TRUE(host.process(3));
  EXPECT_EQ(host.blocksProcessed(), 3);
  ASSERT_EQ(host.outputCount(), 2);
  EXPECT_EQ(host.output(1).size(), 512u);
  EXPECT_TRUE(host.output(2).empty());
  host.suspend();
  EXPECT_FALSE(host.process(1));
}

TEST_F(NullPluginHost, RejectsUnusableBlockSizesAndDeltas) {
  EXPECT_FALSE(host.setBlockSize(0));
  EXPECT_FALSE(host.setBlockSize(VstHost::kMaxBlockSize + 1));
  EXPECT_EQ(host.blockSize(), 512);
  EXPECT_FALSE(host.queueMidi(-1, 0x90, 60, 100));
  EXPECT_EQ(host.pendingMidiCount(), 0u);
}

TEST_F(NullPluginHost, TransportAdvancesOnlyWhilePlaying) {
  start(48000.0, 480);
  host.setTempo(90.0);
  host.process(2);
  EXPECT_EQ(host.timeInfo().samplePos, 0.0);
  EXPECT_FALSE(host.timeInfo().flags & kVstTransportPlaying);

  host.setTransportPlaying(true);
  EXPECT_TRUE(host.timeInfo().flags & kVstTransportChanged);
  host.process(100);  // one second
  const VstTimeInfo& info = host.timeInfo();
  EXPECT_EQ(info.samplePos, 48000.0);
  EXPECT_EQ(info.sampleRate, 48000.0);
  EXPECT_DOUBLE_EQ(info.ppqPos, 1.5);  // 90 beats per minute
  EXPECT_EQ(info.tempo, 90.0);
  EXPECT_EQ(info.barStartPos, 0.0);
  EXPECT_EQ(info.timeSigNumerator, 4);
  EXPECT_EQ(info.timeSigDenominator, 4);
  const std::int32_t valid = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
  EXPECT_EQ(info.flags & valid, valid);
  EXPECT_TRUE(info.flags & kVstTransportPlaying);
  EXPECT_FALSE(info.flags & kVstTransportChanged);
  EXPECT_FALSE(info.flags & kVstCyclePosValid);
}

TEST_F(NullPluginHost, ClosesAndReloads) {
  host.close();
  EXPECT_FALSE(host.isLoaded());
  EXPECT_FALSE(host.process(1));
  ASSERT_TRUE(host.load(VELMORA_NULL_PLUGIN));
  EXPECT_EQ(host.blocksProcessed(), 0);
}

TEST(VstHostLoad, ReportsModulesThatAreNoPlugins) {
  VstHost host;
  EXPECT_FALSE(host.load("/nonexistent/plugin.so"));
  EXPECT_FALSE(host.error().empty());
  EXPECT_FALSE(host.load("libm.so.6"));
  EXPECT_NE(host.error().find("neither VSTPluginMain nor main"), std::string::npos);
  EXPECT_FALSE(host.isLoaded());
}

// The host callback's answers, asked the way a plug-in asks them.
class HostAnswers : public NullPluginHost {
protected:
  std::intptr_t ask(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f) {
    return host.answer(opcode, index, value, ptr, opt);
  }
};

TEST_F(HostAnswers, IdentifiesTheHost) {
  char text[256];
  std::memset(text, 'x', sizeof text);
  EXPECT_EQ(ask(audioMasterVersion), 2400);
  EXPECT_EQ(ask(audioMasterGetProductString, 0, 0, text), 1);
  EXPECT_STREQ(text, "Velmora Host");
  EXPECT_EQ(ask(audioMasterGetVendorString, 0, 0, text), 1);
  EXPECT_STREQ(text, "Velmora");
  EXPECT_EQ(ask(audioMasterGetProductString), 0);
  EXPECT_EQ(ask(audioMasterGetVendorVersion), VstHost::kHostVendorVersion);
  EXPECT_EQ(ask(audioMasterCurrentId), 0);
  EXPECT_EQ(ask(audioMasterSizeWindow, 400, 300), 0);
}

TEST_F(HostAnswers, ReportsRateBlockAndProcessLevel) {
  start(96000.0, 64);
  EXPECT_EQ(ask(audioMasterGetSampleRate), 96000);
  EXPECT_EQ(ask(audioMasterGetBlockSize), 64);
  EXPECT_EQ(ask(audioMasterGetCurrentProcessLevel), kVstProcessLevelUser);
  host.setOffline(true);
  EXPECT_EQ(ask(audioMasterGetCurrentProcessLevel), kVstProcessLevelOffline);
}

TEST_F(HostAnswers, AnswersCapabilities) {
  char sends[] = "sendVstEvents";
  char wrongCase[] = "SendVstEvents";
  char window[] = "sizeWindow";
  EXPECT_EQ(ask(audioMasterCanDo, 0, 0, sends), 1);
  EXPECT_EQ(ask(audioMasterCanDo, 0, 0, wrongCase), 0);
  EXPECT_EQ(ask(audioMasterCanDo, 0, 0, window), 0);
  EXPECT_EQ(ask(audioMasterCanDo), 0);
}

TEST_F(HostAnswers, GivesATimeInfoItOwns) {
  auto* info = reinterpret_cast<const VstTimeInfo*>(ask(audioMasterGetTime, 0, kVstTempoValid));
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->tempo, 120.0);
  EXPECT_TRUE(info->flags & kVstTempoValid);
}

TEST_F(HostAnswers, CapturesEventsSentOutsideProcessing) {
  VstMidiEvent note{};
  note.type = kVstMidiType;
  note.deltaFrames = 7;
  note.midiData[0] = static_cast<char>(0x91);
  note.midiData[1] = 62;
  note.midiData[2] = 90;
  char dump[] = {static_cast<char>(0xF0), 0x7E, static_cast<char>(0xF7)};
  VstMidiSysexEvent sysex{};
  sysex.type = kVstSysExType;
  sysex.dumpBytes = 3;
  sysex.sysexDump = dump;
  VstEvent other{};
  other.type = 3;
  VstEvents list{};
  list.numEvents = 2;
  list.events[0] = reinterpret_cast<VstEvent*>(&note);
  list.events[1] = reinterpret_cast<VstEvent*>(&sysex);
  EXPECT_EQ(ask(audioMasterProcessEvents, 0, 0, &list), 1);
  list.events[0] = nullptr;
  list.events[1] = &other;
  EXPECT_EQ(ask(audioMasterProcessEvents, 0, 0, &list), 1);
  EXPECT_EQ(ask(audioMasterProcessEvents), 1);

  const std::vector<CapturedMidi> captured = host.takeCapturedMidi();
  ASSERT_EQ(captured.size(), 2u);
  EXPECT_EQ(captured[0].block, -1);
  EXPECT_EQ(captured[0].deltaFrames, 7);
  EXPECT_EQ(captured[0].bytes, (std::vector<std::uint8_t>{0x91, 62, 90}));
  EXPECT_EQ(captured[1].type, kVstSysExType);
  EXPECT_EQ(captured[1].bytes, (std::vector<std::uint8_t>{0xF0, 0x7E, 0xF7}));
  EXPECT_TRUE(host.capturedMidi().empty());
}

TEST_F(HostAnswers, RecordsAutomation) {
  EXPECT_EQ(ask(audioMasterBeginEdit, 3), 1);
  EXPECT_EQ(ask(audioMasterAutomate, 3, 0, nullptr, 0.75f), 1);
  EXPECT_EQ(ask(audioMasterEndEdit, 3), 1);
  const std::vector<AutomationRecord> records = host.takeAutomation();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].kind, AutomationRecord::Kind::BeginEdit);
  EXPECT_EQ(records[1].kind, AutomationRecord::Kind::Automate);
  EXPECT_EQ(records[1].index, 3);
  EXPECT_EQ(records[1].value, 0.75f);
  EXPECT_EQ(records[2].kind, AutomationRecord::Kind::EndEdit);
}

// The echo fixture answers through the real callback and function entries.
class EchoPluginHost : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(host.load(VELMORA_ECHO_PLUGIN)) << host.error();
    host.open();
    host.setSampleRate(44100.0);
    ASSERT_TRUE(host.setBlockSize(100));
    host.resume();
  }
  VstHost host;
};

TEST_F(EchoPluginHost, DeliversEventsInTheBlockTheyFallIn) {
  host.queueMidi(250, 0x80, 60, 0);  // third block, frame 50
  host.queueMidi(0, 0x90, 60, 100);
  host.queueMidi(99, 0x90, 64, 100);
  host.queueMidi(100, 0x90, 67, 100);  // second block, frame 0
  ASSERT_TRUE(host.process(1));
  EXPECT_EQ(host.pendingMidiCount(), 2u);
  ASSERT_TRUE(host.process(3));
  EXPECT_EQ(host.pendingMidiCount(), 0u);

  // The echo sends each block's input back from inside the same block.
  const std::vector<CapturedMidi> captured = host.takeCapturedMidi();
  ASSERT_EQ(captured.size(), 4u);
  EXPECT_EQ(captured[0].block, 0);
  EXPECT_EQ(captured[0].deltaFrames, 0);
  EXPECT_EQ(captured[0].bytes[1], 60);
  EXPECT_EQ(captured[1].block, 0);
  EXPECT_EQ(captured[1].deltaFrames, 99);
  EXPECT_EQ(captured[2].block, 1);
  EXPECT_EQ(captured[2].deltaFrames, 0);
  EXPECT_EQ(captured[2].bytes[1], 67);
  EXPECT_EQ(captured[3].block, 2);
  EXPECT_EQ(captured[3].deltaFrames, 50);
  EXPECT_EQ(captured[3].bytes[0], 0x80);
  EXPECT_EQ(host.wantMidiCalls(), 4);
}

TEST_F(EchoPluginHost, AnswersTimeDuringProcessing) {
  host.setTransportPlaying(true);
  host.setTempo(100.0);
  host.process(3);
  EXPECT_EQ(host.output(0).front(), 200.0f);  // samplePos at the start of the third block
  EXPECT_FLOAT_EQ(host.output(1).back(), 25.0f);
}

TEST_F(EchoPluginHost, ReadsAndWritesParameters) {
  EXPECT_EQ(host.parameterCount(), 1);
  EXPECT_EQ(host.parameterName(0), "Gain");
  EXPECT_EQ(host.parameterLabel(0), "%");
  EXPECT_EQ(host.findParameter("Gain"), 0);
  EXPECT_EQ(host.findParameter("gain"), -1);
  ASSERT_TRUE(host.setParameter(0, 0.5f));
  EXPECT_EQ(host.parameter(0), 0.5f);
  EXPECT_EQ(host.parameterDisplay(0), "50");
  EXPECT_FALSE(host.setParameter(1, 0.5f));
  EXPECT_FALSE(host.setParameter(-1, 0.5f));
  EXPECT_EQ(host.parameter(1), 0.0f);
  EXPECT_EQ(host.takeAutomation().size(), 3u);
}

TEST_F(EchoPluginHost, RoundTripsAChunk) {
  host.setParameter(0, 0.4f);
  std::vector<std::uint8_t> chunk;
  ASSERT_TRUE(host.getChunk(ChunkKind::Program, chunk));
  EXPECT_EQ(chunk, (std::vector<std::uint8_t>{'E', 'c', 'h', 'o', 40}));
  host.setParameter(0, 0.9f);
  ASSERT_TRUE(host.setChunk(ChunkKind::Program, chunk));
  EXPECT_FLOAT_EQ(host.parameter(0), 0.4f);
  EXPECT_FALSE(host.setChunk(ChunkKind::Bank, {'N', 'o'}));
  EXPECT_EQ(host.canDo("receiveVstMidiEvent"), 1);
  EXPECT_EQ(host.canDo("offline"), -1);
  EXPECT_EQ(host.effectName(), "Echo");
}

}  // namespace
}  // namespace velmora::host
