// The cost of one 512-frame processing block through the host harness, with
// and without MIDI input; run on NullPlugin it is the floor of any plug-in.
#include "bench/vst/BenchHost.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using velmora::host::VstHost;

// VELMORA_BENCH_PLUGIN measures another module through the same harness.
const char* pluginPath() {
  const char* other = std::getenv("VELMORA_BENCH_PLUGIN");
  return other != nullptr && *other != '\0' ? other : VELMORA_NULL_PLUGIN;
}


void BM_ProcessBlock512(benchmark::State& state) {
  VstHost host;
  if (!StartBenchHost(host, pluginPath(), state)) return;
  for (auto _ : state) host.process(1);
  state.SetItemsProcessed(state.iterations() * 512);
}
BENCHMARK(BM_ProcessBlock512);

void BM_ProcessBlock512WithChord(benchmark::State& state) {
  VstHost host;
  if (!StartBenchHost(host, pluginPath(), state)) return;
  bool on = true;
  for (auto _ : state) {
    for (std::uint8_t note : {60, 64, 67}) host.queueMidi(0, on ? 0x90 : 0x80, note, on ? 100 : 0);
    on = !on;
    host.process(1);
    benchmark::DoNotOptimize(host.takeCapturedMidi());
  }
  state.SetItemsProcessed(state.iterations() * 512);
}
BENCHMARK(BM_ProcessBlock512WithChord);

}  // namespace
