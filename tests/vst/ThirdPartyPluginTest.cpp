// The harness against a plug-in it was not written with: Debian's DPF build
// of Kars (a MIDI-driven string synth), or another module of /usr/lib/vst.
#include "tools/vsthost/VstHost.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora::host {
namespace {

std::string thirdPartyPlugin() {
  const std::filesystem::path preferred = "/usr/lib/vst/Kars-vst.so";
  std::error_code error;
  if (std::filesystem::exists(preferred, error)) return preferred.string();
  for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/vst", error))
    if (entry.path().extension() == ".so") return entry.path().string();
  return {};
}

class ThirdPartyPlugin : public ::testing::Test {
protected:
  void SetUp() override {
    path = thirdPartyPlugin();
    if (path.empty()) GTEST_SKIP() << "no VST 2.4 plug-in in /usr/lib/vst (package dpf-plugins-vst)";
    ASSERT_TRUE(host.load(path)) << host.error();
    host.open();
    host.setSampleRate(48000.0);
    ASSERT_TRUE(host.setBlockSize(256));
    host.resume();
  }
  bool isSynth() const { return (host.effect()->flags & effFlagsIsSynth) != 0; }

  std::string path;
  VstHost host;
};

TEST_F(ThirdPartyPlugin, HasAPlausibleEffectRecord) {
  const AEffect& effect = *host.effect();
  EXPECT_EQ(effect.magic, kEffectMagic);
  ASSERT_GE(effect.numParams, 0);
  for (int i = 0; i < effect.numParams; ++i) {
    const float value = host.parameter(i);
    EXPECT_TRUE(value >= 0.0f && value <= 1.0f) << "parameter " << i << " reads " << value;
  }
  EXPECT_GT(effect.numOutputs, 0);
  EXPECT_NE(effect.processReplacing, nullptr);
  EXPECT_NE(effect.uniqueID, 0);
  EXPECT_EQ(host.dispatch(effGetVstVersion), kVstVersion);
}

TEST_F(ThirdPartyPlugin, PlaysANoteItReceives) {
  if (!isSynth()) GTEST_SKIP() << path << " is not an instrument";
  host.setTransportPlaying(true);
  ASSERT_TRUE(host.process(4));
  EXPECT_EQ(host.outputPeak(), 0.0f) << "sound before any note";

  host.queueMidi(10, 0x90, 57, 110);
  float peak = 0.0f;
  for (int block = 0; block < 20; ++block) {
    ASSERT_TRUE(host.process(1));
    peak = std::max(peak, host.outputPeak());
  }
  EXPECT_GT(peak, 0.0f);
  host.queueMidi(0, 0x80, 57, 0);
  EXPECT_TRUE(host.process(8));
  EXPECT_EQ(host.pendingMidiCount(), 0u);
}

TEST_F(ThirdPartyPlugin, NamesItsParameters) {
  for (std::int32_t i = 0; i < host.parameterCount(); ++i) {
    SCOPED_TRACE(i);
    const std::string name = host.parameterName(i);
    EXPECT_FALSE(name.empty());
    const std::int32_t found = host.findParameter(name);  // names may repeat
    EXPECT_GE(found, 0);
    EXPECT_LE(found, i);
    const float value = host.parameter(i);
    EXPECT_GE(value, 0.0f);
    EXPECT_LE(value, 1.0f);
    host.parameterDisplay(i);
    host.parameterLabel(i);
  }
}

TEST_F(ThirdPartyPlugin, TakesBackTheChunkItGives) {
  if (!(host.effect()->flags & effFlagsProgramChunks)) GTEST_SKIP() << path << " keeps no chunks";
  std::vector<std::uint8_t> chunk;
  ASSERT_TRUE(host.getChunk(ChunkKind::Program, chunk)) << host.error();
  EXPECT_FALSE(chunk.empty());
  host.setChunk(ChunkKind::Program, chunk);  // some plug-ins answer 0 even when they accept it
  std::vector<std::uint8_t> again;
  ASSERT_TRUE(host.getChunk(ChunkKind::Program, again));
  EXPECT_EQ(again, chunk);
}

TEST_F(ThirdPartyPlugin, ClosesCleanly) {
  ASSERT_TRUE(host.process(2));
  host.close();
  EXPECT_FALSE(host.isLoaded());
  ASSERT_TRUE(host.load(path)) << host.error();
}

}  // namespace
}  // namespace velmora::host
