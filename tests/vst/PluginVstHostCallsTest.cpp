// What IPluginVST asks of its host, and what it makes of the answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <ostream>
#include <vector>

#include "FakeHost.h"
#include "TestInstrument.h"

namespace velmora::test {
namespace {

class HostCallsTest : public ::testing::Test {
 protected:
  intptr_t Call(int32_t opcode, void* ptr = nullptr) {
    return hosted.adapter.Effect()->dispatcher(hosted.adapter.Effect(), opcode, 0, 0, ptr, 0.0f);
  }
  // Host events wait for the block they belong to.
  void Block(int32_t frames = 64) {
    std::vector<float> left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames));
    float* outputs[] = {left.data(), right.data()};
    hosted.adapter.Effect()->processReplacing(hosted.adapter.Effect(), nullptr, outputs, frames);
  }
  FakeHost host;
  HostedInstrument hosted{FakeHost::Callback};
  TestInstrument& plugin = hosted.plugin;
};

struct IdentifyCase {
  const char* product;
  intptr_t vendorVersion;
  HostCode code;
  int32_t hostVersion;
};

void PrintTo(const IdentifyCase& c, std::ostream* out) {
  *out << '"' << (c.product ? c.product : "(no answer)") << '"';
}

class HostIdentityTest : public HostCallsTest,
                         public ::testing::WithParamInterface<IdentifyCase> {};

TEST_P(HostIdentityTest, IdentifiesTheHostOnceOnOpen) {
  const IdentifyCase& c = GetParam();
  host.product = c.product;
  host.vendorVersion = c.vendorVersion;
  Call(effOpen);
  Call(effOpen);
  EXPECT_EQ(plugin.Host(), c.code);
  EXPECT_EQ(plugin.HostVersion(), c.hostVersion);
  EXPECT_EQ(host.Count(audioMasterGetProductString), 1);
  EXPECT_EQ(host.Count(audioMasterGetVendorVersion), c.product && *c.product ? 1 : 0);
  EXPECT_EQ(std::count(plugin.log.begin(), plugin.log.end(), "host " + std::to_string(c.code)), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Products, HostIdentityTest,
    ::testing::Values(IdentifyCase{"REAPER", 60123, kHostReaper, 0x00060117},
                      IdentifyCase{"Adobe Audition CS6", 50000, kHostAudition, 0x00050000},
                      IdentifyCase{"cubase nuendo", 1, kHostCubase, 1},
                      IdentifyCase{"Ardour", -5, kHostArdour, 0},
                      IdentifyCase{"Live 11", 110000, kHostLive, 0x000B0000},
                      IdentifyCase{"Qtractor", 900, kHostUnknown, 0x00000900},
                      IdentifyCase{"", 777, kHostUnknown, 0},
                      IdentifyCase{nullptr, 777, kHostUnknown, 0}),
    [](const ::testing::TestParamInfo<IdentifyCase>& info) {
      return "Host" + std::to_string(info.index);
    });

TEST(HostChannelLimit, TwoChannelHostsDisconnectLaterInputs) {
  for (const char* product : {"Audition", "REAPER"}) {
    FakeHost host;
    host.product = product;
    HostedInstrument hosted(FakeHost::Callback, {"4-4"});
    TestInstrument& plugin = hosted.plugin;
    hosted.adapter.Effect()->dispatcher(hosted.adapter.Effect(), effOpen, 0, 0, nullptr, 0.0f);
    EXPECT_TRUE(plugin.IsInChannelConnected(1));
    EXPECT_EQ(plugin.IsInChannelConnected(2), std::string(product) == "REAPER") << product;
    EXPECT_EQ(hosted.adapter.Effect()->numInputs, 4);
  }
}

TEST_F(HostCallsTest, ReadHostTimeTakesOnlyTheValidFields) {
  TimeInfo info;
  host.answerTime = false;
  plugin.ReadHostTime(&info);
  EXPECT_EQ(host.calls.back().value, 0x3E00);
  host.answerTime = true;
  host.time.samplePos = 100.0;
  host.time.flags = kVstTransportPlaying;  // none of the requested fields
  plugin.ReadHostTime(&info);
  EXPECT_EQ(info.samplePos, -1.0);
  EXPECT_FALSE(info.transportIsRunning);

  host.time = VstTimeInfo{4410.0, 44100.0, 0.0, 2.5, 90.0, 2.0, 1.0, 5.0, 3, 4, 0, 0, 0,
                          0x3E00 | kVstTransportPlaying | kVstTransportCycleActive};
  plugin.ReadHostTime(&info);
  EXPECT_EQ(std::vector<double>({info.samplePos, info.ppqPos, info.tempo, info.lastBar,
                                 info.cycleStart, info.cycleEnd}),
            std::vector<double>({4410.0, 2.5, 90.0, 2.0, 1.0, 5.0}));
  EXPECT_EQ(info.numerator * 10 + info.denominator, 34);
  EXPECT_TRUE(info.transportIsRunning && info.transportLoopEnabled);

  // Flagged valid but out of range: only the position and the transport move.
  host.time = VstTimeInfo{-64.0, 44100.0, 0.0, -1.0, 0.0, NAN, 7.0, -1.0, 0, 4, 0, 0, 0, 0x3E00};
  plugin.ReadHostTime(&info);
  EXPECT_EQ(std::vector<double>({info.samplePos, info.ppqPos, info.tempo, info.lastBar,
                                 info.cycleStart, info.cycleEnd}),
            std::vector<double>({-64.0, 2.5, 90.0, 2.0, 1.0, 5.0}));
  EXPECT_EQ(info.numerator * 10 + info.denominator, 34);
  EXPECT_FALSE(info.transportIsRunning || info.transportLoopEnabled);
}

TEST_F(HostCallsTest, TransportQueriesAnswerZeroWithoutAUsableAnswer) {
  int numerator = 7, denominator = 7;
  host.answerTime = false;
  EXPECT_EQ(plugin.HostTempo() + plugin.HostSamplePosition(), 0.0);
  plugin.HostTimeSignature(&numerator, &denominator);
  EXPECT_EQ(numerator + denominator, 0);
  host.answerTime = true;
  host.time.tempo = 133.0;
  host.time.timeSigNumerator = 6;
  host.time.timeSigDenominator = 8;
  EXPECT_EQ(plugin.HostTempo(), 0.0);  // not flagged valid
  host.time.flags = kVstTempoValid | kVstTimeSigValid;
  EXPECT_EQ(plugin.HostTempo(), 133.0);
  plugin.HostTimeSignature(&numerator, &denominator);
  EXPECT_EQ(numerator * 10 + denominator, 68);
  for (auto [position, frames] : {std::pair{10.5, 11}, {10.49, 10}, {-3.0, 0}, {1e12, INT_MAX}}) {
    host.time.samplePos = position;
    EXPECT_EQ(plugin.HostSamplePosition(), frames) << position;
  }
  EXPECT_FALSE(plugin.HostIsOffline());
  host.processLevel = kVstProcessLevelOffline;
  EXPECT_TRUE(plugin.HostIsOffline());
}

TEST_F(HostCallsTest, SendMidiWrapsEachMessageInItsOwnList) {
  // An offset before the block goes out at its start.
  EXPECT_TRUE(plugin.SendMidi(MidiMessage{-7, 0x90, 60, 100}));
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(host.sent[0].numEvents, 1);
  EXPECT_TRUE(host.sent[0].secondSlotNull);
  VstMidiEvent expected{kVstMidiType, 32, 0, 0, 0, 0, {char(0x90), 60, 100, 0}, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(&host.sent[0].Midi(), &expected, sizeof(expected)), 0);
  host.eventsAnswer = 0;
  EXPECT_FALSE(plugin.SendMidi(MidiMessage{}));

  const uint8_t dump[] = {0xF0, 1, 2, 3, 0xF7};
  host.eventsAnswer = 1;
  EXPECT_TRUE(plugin.SendSysExMessage(SysExMessage{3, 5, dump}));
  const VstMidiSysexEvent& sysex = host.sent.back().SysEx();
  EXPECT_EQ(sysex.type, kVstSysExType);
  EXPECT_EQ(sysex.byteSize, static_cast<int32_t>(sizeof(VstMidiSysexEvent)));
  EXPECT_EQ(sysex.deltaFrames + sysex.dumpBytes, 8);
  EXPECT_EQ(sysex.sysexDump, reinterpret_cast<const char*>(dump));
}

TEST_F(HostCallsTest, ProcessEventsSkipsWhatIsNotThere) {
  VstMidiEvent early{kVstMidiType, 32, -20, 0, 0, 0, {char(0x90), 36, 1, 0}, 0, 0, 0, 0};
  VstMidiEvent late{kVstMidiType, 0, 1 << 30, 0, 0, 0, {char(0x80), 36, 0, 0}, 0, 0, 0, 0};
  char dump[4] = {};
  VstMidiSysexEvent sysex{kVstSysExType, 48, 0, 0, 4, 0, dump, 0};
  VstMidiSysexEvent emptySysex{kVstSysExType, 48, 0, 0, 4, 0, nullptr, 0};
  VstEvent other{3, 32, 0, 0, {}};
  auto asEvent = [](auto* event) { return reinterpret_cast<VstEvent*>(event); };
  VstEvent* slots[] = {asEvent(&early),      nullptr, asEvent(&sysex),
                       asEvent(&emptySysex), &other,  asEvent(&late)};
  std::vector<unsigned char> storage(sizeof(VstEvents) + sizeof(slots));
  auto* list = reinterpret_cast<VstEvents*>(storage.data());
  list->numEvents = 6;
  std::memcpy(list->events, slots, sizeof(slots));
  EXPECT_EQ(Call(effProcessEvents, list), 1);
  EXPECT_EQ(plugin.log, std::vector<std::string>{"sysex 4"});  // a dump is handled at once
  Block(64);
  ASSERT_EQ(host.sent.size(), 2u);  // the base echoes MIDI, kept inside the block
  EXPECT_EQ(host.sent[0].Midi().deltaFrames, 0);
  EXPECT_EQ(host.sent[1].Midi().deltaFrames, 63);
  list->numEvents = -3;
  EXPECT_EQ(Call(effProcessEvents, list), 1);
  EXPECT_EQ(Call(effProcessEvents, nullptr), 0);
  Block(64);
  EXPECT_EQ(host.sent.size(), 2u);
}

// The list is the host's: its count is believed up to a sane limit, so a
// wild count reads no further than that.
TEST_F(HostCallsTest, ProcessEventsBoundsAWildCount) {
  const size_t limit = static_cast<size_t>(IPluginVST::kMaxEventsPerCall);
  VstMidiEvent note{kVstMidiType, 32, 0, 0, 0, 0, {char(0x90), 50, 1, 0}, 0, 0, 0, 0};
  std::vector<unsigned char> storage(sizeof(VstEvents) + (limit + 1) * sizeof(VstEvent*));
  auto* list = reinterpret_cast<VstEvents*>(storage.data());
  VstEvent** slots = list->events;
  slots[limit - 1] = slots[limit] = reinterpret_cast<VstEvent*>(&note);
  list->numEvents = INT32_MAX;
  EXPECT_EQ(Call(effProcessEvents, list), 1);
  Block();
  EXPECT_EQ(host.sent.size(), 1u);
}

TEST_F(HostCallsTest, EditsReachTheHostInOrder) {
  plugin.BeginParamEdit(3);
  plugin.SetParameterFromEditor(2, 0.25);
  plugin.EndParamEdit(3);
  plugin.RefreshHostDisplay();
  std::vector<std::pair<int32_t, int32_t>> calls;
  for (const FakeHost::Call& call : host.calls) calls.emplace_back(call.opcode, call.index);
  EXPECT_EQ(calls, (std::vector<std::pair<int32_t, int32_t>>{
                       {audioMasterBeginEdit, 3}, {audioMasterAutomate, 2},
                       {audioMasterEndEdit, 3}, {audioMasterUpdateDisplay, 0}}));
  EXPECT_EQ(host.calls[1].opt, 0.25f);
}

TEST(NoHostCallback, EveryHostCallAnswersNothing) {
  HostedInstrument hosted(nullptr);
  TestInstrument& plugin = hosted.plugin;
  TimeInfo info;
  plugin.ReadHostTime(&info);
  EXPECT_EQ(info.tempo, 120.0);
  EXPECT_EQ(plugin.IdentifyHost(), kHostUnknown);
  EXPECT_FALSE(plugin.SendMidi(MidiMessage{}) || plugin.HostIsOffline());
  EXPECT_EQ(plugin.HostTempo(), 0.0);
  float left[4], right[4];
  float* outputs[] = {left, right};
  hosted.adapter.Effect()->processReplacing(hosted.adapter.Effect(), nullptr, outputs, 4);
  EXPECT_EQ(right[3], 0.5f);
}

}  // namespace
}  // namespace velmora::test
