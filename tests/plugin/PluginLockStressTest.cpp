#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "FakePlugin.h"

namespace velmora::test {
namespace {

// Editor, processing and state threads enter one plug-in the way a host and
// its editor do; the lock makes them take turns.
TEST(PluginLockStressTest, EditorProcessingAndStateTakeTurns) {
  constexpr int kRounds = 2000;
  FakePlugin plugin(3, "2-2", 2);
  plugin.DefineDefaults();
  plugin.FillEmptyPresets(2);
  plugin.SetMaxBlockSize(32);

  std::thread editor([&] {
    for (int i = 0; i < kRounds; ++i) plugin.SetParameterFromEditor(0, (i % 100) / 100.0);
  });
  std::thread audio([&] {
    std::vector<float> in(32, 0.5f), out(32);
    float* ins[] = {in.data(), in.data()};
    float* outs[] = {out.data(), out.data()};
    for (int i = 0; i < kRounds; ++i) {
      auto lock = plugin.Lock();
      plugin.AttachInputBuffers(2, ins, 32);
      plugin.AttachOutputBuffers(2, outs);
      plugin.ProcessBuffersFloat(32);
    }
  });
  for (int i = 0; i < kRounds / 10; ++i) {
    auto lock = plugin.Lock();
    ChunkBuffer chunk;
    plugin.SerializeParams(chunk);
    plugin.UnserializeParams(chunk, 0);
    plugin.LoadPreset(i % 2);
  }
  editor.join();
  audio.join();

  EXPECT_EQ(plugin.blocks, kRounds);
  // One notification per edit, three per restore of three parameters.
  EXPECT_EQ(plugin.changed.size(), static_cast<size_t>(kRounds + (kRounds / 10) * 6));
}

}  // namespace
}  // namespace velmora::test
