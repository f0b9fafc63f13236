// Velmora.so through the host harness. A 512-frame processReplacing call
// with nothing queued, against NullPlugin.so (the floor): Velmora's own cost
// per block is the lock, the host's time info and the empty queue check.
// And how long a host waits from VSTPluginMain to the first processed block.
#include "bench/PrivateDataFolder.h"
#include "tools/vsthost/PluginModule.h"
#include "bench/vst/BenchHost.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using velmora::host::VstHost;
using Clock = std::chrono::steady_clock;

constexpr std::int32_t kFrames = 512;

const bool kPrivateDataFolder = UsePrivateDataFolder("velmora-module-bench");


// 512 frames is the figure of merit; 1 frame isolates the fixed cost of a
// call from the per-sample work (silence written and converted to float).
void EmptyBlock(benchmark::State& state, const char* path) {
  VstHost host;
  const auto frames = static_cast<std::int32_t>(state.range(0));
  if (!StartBenchHost(host, path, state, frames)) return;
  for (auto _ : state) host.process(1);
  state.SetItemsProcessed(state.iterations() * frames);
}

// Both plug-ins in turn, so the ratio is taken under the same conditions;
// the reported time is Velmora's, "vs_null" its multiple of the floor.
void EmptyBlockRatio(benchmark::State& state) {
  VstHost velmora, floor;
  if (!StartBenchHost(velmora, VELMORA_MODULE, state)) return;
  if (!StartBenchHost(floor, VELMORA_NULL_PLUGIN, state)) return;
  constexpr int kRounds = 64;
  Clock::duration velmoraTime{}, floorTime{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    velmora.process(kRounds);
    const auto t1 = Clock::now();
    floor.process(kRounds);
    const auto t2 = Clock::now();
    velmoraTime += t1 - t0;
    floorTime += t2 - t1;
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count() / kRounds);
  }
  if (floorTime.count() > 0)
    state.counters["vs_null"] = static_cast<double>(velmoraTime.count()) / static_cast<double>(floorTime.count());
}

std::intptr_t VST_CALL QuietHost(AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

// VSTPluginMain, effOpen, rate, block size, resume, one processReplacing.
void CreationToFirstBlock(benchmark::State& state) {
  velmora::host::PluginModule module;
  if (!module.load(VELMORA_MODULE)) {
    state.SkipWithError(module.error().c_str());
    return;
  }
  auto entry = reinterpret_cast<VstPluginEntryProc>(module.symbol("VSTPluginMain"));
  std::vector<float> left(kFrames), right(kFrames);
  float* outputs[2] = {left.data(), right.data()};
  for (auto _ : state) {
    AEffect* effect = entry(&QuietHost);
    if (effect == nullptr) {
      state.SkipWithError("no instance");
      break;
    }
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, kFrames, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    effect->processReplacing(effect, nullptr, outputs, kFrames);
    state.PauseTiming();
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    state.ResumeTiming();
  }
}

BENCHMARK_CAPTURE(EmptyBlock, NullPlugin, VELMORA_NULL_PLUGIN)->Arg(kFrames)->Arg(1);
BENCHMARK_CAPTURE(EmptyBlock, Velmora, VELMORA_MODULE)->Arg(kFrames)->Arg(1);
BENCHMARK(EmptyBlockRatio)->UseManualTime();
BENCHMARK(CreationToFirstBlock)->Unit(benchmark::kMicrosecond);

}  // namespace
