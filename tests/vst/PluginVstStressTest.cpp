// The processing thread and the control thread on one instance: they only
// take turns, and a block that finds the lock busy goes out silent rather
// than wait (run under ThreadSanitizer).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "TestInstrument.h"
#include "framework/plugin/vst2/VstEntry.h"

namespace velmora::test {
namespace {

intptr_t VST_CALL SilentHost(AEffect*, int32_t, int32_t, intptr_t, void*, float) { return 0; }

TEST(VstStress, ProcessingAndDispatcherTakeTurns) {
  AEffect* effect = CreateEffect(SilentHost, TestInstrumentFactory());
  ASSERT_NE(effect, nullptr);
  constexpr int kControlRounds = 500;
  std::atomic<bool> done{false};
  std::atomic<int> blocks{0}, wrongBlocks{0}, skippedBlocks{0};
  std::thread audio([&] {
    std::vector<float> left(256), right(256);
    float* outputs[] = {left.data(), right.data()};
    VstMidiEvent note{kVstMidiType, 32, 5, 0, 0, 0, {char(0x90), 40, 1, 0}, 0, 0, 0, 0};
    VstEvents events{1, 0, {reinterpret_cast<VstEvent*>(&note), nullptr}};
    while (!done || blocks == 0) {
      effect->dispatcher(effect, effProcessEvents, 0, 0, &events, 0.0f);
      left[255] = right[0] = 9.0f;
      effect->processReplacing(effect, nullptr, outputs, 256);
      if (left[255] == 0.0f && right[0] == 0.0f) {
        ++skippedBlocks;
      } else if (left[255] != 0.25f || right[0] != 0.5f) {
        ++wrongBlocks;
      }
      ++blocks;
    }
  });
  int refused = 0;
  char text[8];
  for (int i = 0; i < kControlRounds; ++i) {
    effect->setParameter(effect, i % 6, static_cast<float>(i % 10) / 10.0f);
    effect->getParameter(effect, (i + 1) % 6);
    effect->dispatcher(effect, effGetParamDisplay, i % 6, 0, text, 0.0f);
    void* chunk = nullptr;
    intptr_t size = effect->dispatcher(effect, effGetChunk, i % 2, 0, &chunk, 0.0f);
    if (effect->dispatcher(effect, effSetChunk, i % 2, size, chunk, 0.0f) != 1) ++refused;
  }
  done = true;
  audio.join();
  EXPECT_EQ(wrongBlocks, 0);
  EXPECT_EQ(refused, 0);
  // Each block that played is cut in two at its note's frame, unless a long
  // run of silent blocks before it filled the ring and its note was dropped.
  const int slices = static_cast<TestInstrument&>(IPluginVST::FromEffect(effect)->Plugin()).blocks;
  EXPECT_LE(slices, 2 * (blocks - skippedBlocks));
  EXPECT_GE(slices, blocks - skippedBlocks);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

}  // namespace
}  // namespace velmora::test
