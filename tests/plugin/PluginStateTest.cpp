#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "FakePlugin.h"

namespace velmora::test {
namespace {

TEST(ChunkHeaderTest, HeaderBytesAndReading) {
  ChunkBuffer chunk;
  chunk.PutInt32(42);
  IPluginBase::AddChunkHeader(chunk);
  EXPECT_EQ(std::vector<uint8_t>(chunk.Data(), chunk.Data() + chunk.Size()),
            (std::vector<uint8_t>{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}));
  int position = 0;
  EXPECT_EQ(IPluginBase::ReadChunkHeader(chunk, &position), FrameworkVersion);
  EXPECT_EQ(position, 8);

  ChunkBuffer noMagic;
  noMagic.PutInt32(FrameworkVersion);
  position = 0;
  EXPECT_EQ(IPluginBase::ReadChunkHeader(noMagic, &position), 0);
  EXPECT_EQ(position, 0);

  ChunkBuffer noVersion;
  noVersion.PutInt32(kChunkMagic);
  EXPECT_EQ(IPluginBase::ReadChunkHeader(noVersion, &position), 0);
  EXPECT_EQ(position, -1);
}

class ParamBlockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin.DefineDefaults();
    block.PutDouble(12.0);
    block.PutDouble(1.0);
    block.PutDouble(7.5);
  }
  FakePlugin plugin;
  ChunkBuffer block;
};

TEST_F(ParamBlockTest, RoundTripRestoresAndNotifiesEveryParameter) {
  EXPECT_EQ(plugin.UnserializeParams(block, 0), 24);
  EXPECT_EQ(plugin.changed, (std::vector<int>{0, 1, 2}));
  ChunkBuffer saved;
  ASSERT_TRUE(plugin.SaveState(saved));
  EXPECT_EQ(std::vector<uint8_t>(saved.Data(), saved.Data() + 24),
            std::vector<uint8_t>(block.Data(), block.Data() + 24));
}

TEST_F(ParamBlockTest, EightBytesShortZeroesOnlyTheLast) {
  block.Resize(16);
  plugin.GetParam(2)->DefineDouble("Gain", 5.0, 1.0, 10.0, 0.5);
  EXPECT_EQ(plugin.UnserializeParams(block, 0), -1);
  EXPECT_EQ(plugin.GetParam(0)->Value(), 12.0);
  EXPECT_EQ(plugin.GetParam(1)->Value(), 1.0);
  EXPECT_EQ(plugin.GetParam(2)->Value(), 1.0);  // 0.0 clamped to 1..10
  EXPECT_EQ(plugin.changed, (std::vector<int>{0, 1, 2}));
}

TEST_F(ParamBlockTest, EmptyChunkClampsTheFirstAndStillNotifiesAll) {
  plugin.GetParam(1)->SetClamped(1.0);
  EXPECT_EQ(plugin.UnserializeParams(ChunkBuffer(), 0), -1);
  EXPECT_EQ(plugin.GetParam(0)->Value(), 0.0);  // was -1, below the range
  EXPECT_EQ(plugin.GetParam(1)->Value(), 1.0);
  EXPECT_EQ(plugin.changed, (std::vector<int>{0, 1, 2}));
}

TEST_F(ParamBlockTest, ClampedNotRoundedAndNaNGoesToTheMinimum) {
  ChunkBuffer odd;
  odd.PutDouble(std::numeric_limits<double>::quiet_NaN());
  odd.PutDouble(0.5);
  odd.PutDouble(-std::numeric_limits<double>::infinity());
  EXPECT_EQ(plugin.UnserializeParams(odd, 0), 24);
  EXPECT_EQ(plugin.GetParam(0)->Value(), 0.0);
  EXPECT_EQ(plugin.GetParam(1)->Value(), 0.5);
  EXPECT_EQ(plugin.GetParam(2)->Value(), 0.0);
}

}  // namespace
}  // namespace velmora::test
