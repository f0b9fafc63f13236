#include <vector>

#include <gtest/gtest.h>

#include "FakePlugin.h"

namespace velmora::test {
namespace {

using Samples = std::vector<float>;

TEST(ChannelIOTest, ParsingAndLegalIO) {
  FakePlugin plugin(3, "0-1 0-2");
  ASSERT_EQ(plugin.ChannelIOPairs().size(), 2u);
  EXPECT_EQ(plugin.ChannelIOPairs()[1].outputs, 2);
  EXPECT_EQ(plugin.NInChannels(), 0);
  EXPECT_EQ(plugin.NOutChannels(), 2);
  EXPECT_FALSE(plugin.LegalIO(1, -1));
  EXPECT_TRUE(plugin.LegalIO(-1, 1));

  std::vector<ChannelIOPair> odd = ParseChannelIO("x-1 99999999999-1");
  EXPECT_EQ(odd[0].inputs, 0);  // a missing number reads as 0
  EXPECT_EQ(odd[0].outputs, 0);
  EXPECT_EQ(odd[1].inputs, 2147483647);
  EXPECT_EQ(FakePlugin(1, "99999999999-1").NInChannels(), IPluginBase::kMaxChannels);
}

class BlockAdapterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      plugin.SetInChannelConnected(i, true);
      plugin.SetOutChannelConnected(i, true);
    }
    plugin.SetMaxBlockSize(4);
  }
  void Run(bool accumulate, int frames = 4) {
    float* ins[] = {in0.data(), in1.data()};
    float* outs[] = {out0.data(), out1.data(), out2.data()};
    plugin.AttachInputBuffers(2, ins, frames);
    plugin.AttachOutputBuffers(3, outs);
    accumulate ? plugin.ProcessBuffersAccumulating(frames) : plugin.ProcessBuffersFloat(frames);
  }
  FakePlugin plugin{1, "2-3"};
  Samples in0{1, 2, 3, 4}, in1{-1, -2, -3, -4};
  Samples out0{9, 9, 9, 9}, out1{9, 9, 9, 9}, out2{9, 9, 9, 9};
};

TEST_F(BlockAdapterTest, ReplacingCopiesInputsAndZeroesTheRest) {
  Run(false);
  EXPECT_EQ(out0, in0);
  EXPECT_EQ(out1, in1);
  EXPECT_EQ(out2, Samples(4, 0.0f));
}

TEST_F(BlockAdapterTest, AccumulatingAdds) {
  Run(true);
  EXPECT_EQ(out0, (Samples{10, 11, 12, 13}));
  EXPECT_EQ(out2, Samples(4, 9.0f));
}

TEST_F(BlockAdapterTest, HostBuffersGoOnlyToConnectedChannels) {
  plugin.SetInChannelConnected(0, false);
  plugin.SetOutChannelConnected(0, false);
  Run(false);
  EXPECT_EQ(out0, in0);  // input 1 took host input 0, output 1 host output 0
  EXPECT_EQ(out1, Samples(4, 0.0f));
  EXPECT_EQ(out2, Samples(4, 9.0f));
}

TEST_F(BlockAdapterTest, LongerBlockThanAnnouncedGrowsScratch) {
  for (Samples* s : {&in0, &in1, &out0, &out1, &out2}) s->resize(64, 5.0f);
  Run(false, 64);
  EXPECT_EQ(out1[63], 5.0f);
  EXPECT_EQ(out2[63], 0.0f);
}

TEST_F(BlockAdapterTest, DoublePathUsesHostBuffersDirectly) {
  std::vector<double> din{1, 2, 3, 4}, dout0(4, 9.0), dout1(4, 9.0);
  double* ins[] = {din.data()};
  double* outs[] = {dout0.data(), dout1.data()};
  plugin.ProcessBuffersDouble(1, ins, 2, outs, 4);
  EXPECT_EQ(plugin.seenInputs[0], din.data());
  EXPECT_EQ(plugin.seenOutputs[1], dout1.data());
  EXPECT_NE(plugin.seenOutputs[2], nullptr);  // no host buffer: its scratch
  EXPECT_EQ(dout0, din);
  EXPECT_EQ(dout1, std::vector<double>(4, 0.0));  // input 1 had no host buffer: silence
}

TEST_F(BlockAdapterTest, SilentPlugInGivesSilenceOnEveryPath) {
  plugin.silent = true;
  Run(false);
  for (const Samples& out : {out0, out1, out2}) EXPECT_EQ(out, Samples(4, 0.0f));
  out0.assign(4, 9.0f);
  Run(true);
  EXPECT_EQ(out0, Samples(4, 9.0f));  // accumulating silence leaves the host's sum
  std::vector<double> dout0(4, 9.0), dout1(4, 9.0);
  double* outs[] = {dout0.data(), dout1.data()};
  plugin.ProcessBuffersDouble(0, nullptr, 2, outs, 4);
  EXPECT_EQ(dout0, std::vector<double>(4, 0.0));
  EXPECT_EQ(dout1, std::vector<double>(4, 0.0));
}

TEST_F(BlockAdapterTest, SetMaxBlockSizeClearsScratch) {
  plugin.processHook = [](double**, double** outputs, int frames) {
    for (int s = 0; s < frames; ++s) outputs[2][s] += 1.0;
  };
  Run(false);
  Run(false);
  EXPECT_EQ(out2, Samples(4, 2.0f));
  plugin.SetMaxBlockSize(8);
  Run(false);
  EXPECT_EQ(out2, Samples(4, 1.0f));
}

}  // namespace
}  // namespace velmora::test
