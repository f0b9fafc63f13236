#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "FakePlugin.h"

namespace velmora::test {
namespace {

class PresetTest : public ::testing::Test {
 protected:
  void SetUp() override { plugin.DefineDefaults(); }
  static ChunkBuffer Bank(std::initializer_list<const char*> names) {
    ChunkBuffer bank;
    for (const char* name : names) {
      bank.PutText(name);
      bank.PutBool(true);
      for (double v : {3.0, 0.0, 2.0}) bank.PutDouble(v);
    }
    return bank;
  }
  FakePlugin plugin;
};

TEST_F(PresetTest, UninitialisedSlotIsNamedFromTheUserPresetCount) {
  ASSERT_TRUE(plugin.LoadPreset(0));
  ASSERT_TRUE(plugin.LoadPreset(1));
  plugin.log.clear();
  EXPECT_TRUE(plugin.LoadPreset(3));
  EXPECT_STREQ(plugin.PresetName(3), "user preset 3");
  EXPECT_EQ(plugin.CurrentPresetIndex(), 3);
  EXPECT_EQ(plugin.log, (std::vector<std::string>{"presets changed"}));
  EXPECT_FALSE(plugin.LoadPreset(4));
  EXPECT_STREQ(plugin.PresetName(4), "");
}

TEST_F(PresetTest, BankRoundTripWithBoundedNames) {
  plugin.GetParam(0)->SetClamped(5.0);  // the default -1 would come back clamped
  plugin.FillEmptyPresets(3);
  plugin.GetParam(2)->SetClamped(4.0);
  plugin.ModifyCurrentPreset(std::string(1000, 'n').c_str());
  ChunkBuffer bank;
  ASSERT_TRUE(plugin.SerializePresets(bank));

  FakePlugin copy;
  copy.DefineDefaults();
  EXPECT_EQ(copy.UnserializePresets(bank, 0), bank.Size());
  EXPECT_EQ(std::string(copy.PresetName(0)), std::string(255, 'n'));
  EXPECT_STREQ(copy.PresetName(1), "Empty");
  EXPECT_STREQ(copy.PresetName(3), "empty");
  EXPECT_FALSE(copy.GetPreset(3)->initialized);
  for (int i = 0; i < 3; ++i) {
    const ChunkBuffer& a = copy.GetPreset(i)->chunk;
    const ChunkBuffer& b = plugin.GetPreset(i)->chunk;
    EXPECT_EQ(std::vector<uint8_t>(a.Data(), a.Data() + a.Size()),
              std::vector<uint8_t>(b.Data(), b.Data() + b.Size()));
  }
  EXPECT_EQ(copy.GetParam(2)->Value(), 4.0);  // the current preset is loaded at the end
}

TEST_F(PresetTest, EmptyStoredNameStaysEmpty) {
  ChunkBuffer bank = Bank({"", "First", "", "Third"});
  EXPECT_EQ(plugin.UnserializePresets(bank, 0), bank.Size());
  EXPECT_STREQ(plugin.PresetName(0), "");
  EXPECT_STREQ(plugin.PresetName(2), "");
  EXPECT_STREQ(plugin.PresetName(3), "Third");
}

TEST_F(PresetTest, NegativeNameLengthStopsTheBankBeforeTheSlot) {
  ChunkBuffer bank = Bank({"First"});
  bank.PutInt32(-20);
  bank.PutBool(true);
  EXPECT_EQ(plugin.UnserializePresets(bank, 0), -1);
  EXPECT_STREQ(plugin.PresetName(0), "First");
  EXPECT_STREQ(plugin.PresetName(1), "empty");
}

TEST_F(PresetTest, TruncatedAndGarbledBanksEndWithinTheChunk) {
  plugin.FillEmptyPresets(4);
  ChunkBuffer bank;
  ASSERT_TRUE(plugin.SerializePresets(bank));
  for (int size = 0; size < bank.Size(); ++size) {
    FakePlugin copy;
    ChunkBuffer cut = bank;
    cut.Resize(size);
    EXPECT_EQ(copy.UnserializePresets(cut, 0), -1) << "size " << size;
  }
  std::mt19937 random(1234);
  for (int round = 0; round < 300; ++round) {
    ChunkBuffer damaged = bank;
    for (int flips = 0; flips < 4; ++flips) {
      damaged.Data()[random() % static_cast<unsigned>(damaged.Size())] =
          static_cast<uint8_t>(random());
    }
    FakePlugin copy;
    int end = copy.UnserializePresets(damaged, 0);
    EXPECT_TRUE(end >= -1 && end <= damaged.Size());
    for (int i = 0; i < copy.NPresets(); ++i) EXPECT_LE(std::strlen(copy.PresetName(i)), 255u);
  }
}

}  // namespace
}  // namespace velmora::test
