// processReplacing blocks through the host harness: the test instrument on
// the VST adapter against NullPlugin, the floor. 512 frames is the figure
// of merit; 1 frame isolates the fixed cost of a call (lock, the MIDI
// request to the host, attaching the buffers) from the per-sample work.
#include "bench/vst/BenchHost.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>

namespace {

using velmora::host::VstHost;


void ProcessBlocks(benchmark::State& state, const char* path) {
  VstHost host;
  const auto frames = static_cast<std::int32_t>(state.range(0));
  if (!StartBenchHost(host, path, state, frames)) return;
  for (auto _ : state) host.process(1);
  state.SetItemsProcessed(state.iterations() * frames);
}

// Three MIDI events in, echoed back out, every block.
void ProcessBlocksWithMidi(benchmark::State& state, const char* path) {
  VstHost host;
  if (!StartBenchHost(host, path, state)) return;
  bool on = true;
  for (auto _ : state) {
    for (std::uint8_t note : {60, 64, 67}) host.queueMidi(0, on ? 0x90 : 0x80, note, on ? 100 : 0);
    on = !on;
    host.process(1);
    benchmark::DoNotOptimize(host.takeCapturedMidi());
  }
  state.SetItemsProcessed(state.iterations() * 512);
}

BENCHMARK_CAPTURE(ProcessBlocks, NullPlugin, VELMORA_NULL_PLUGIN)->Arg(512)->Arg(1);
BENCHMARK_CAPTURE(ProcessBlocks, TestInstrument, VELMORA_TEST_INSTRUMENT)->Arg(512)->Arg(1);
BENCHMARK_CAPTURE(ProcessBlocksWithMidi, NullPlugin, VELMORA_NULL_PLUGIN);
BENCHMARK_CAPTURE(ProcessBlocksWithMidi, TestInstrument, VELMORA_TEST_INSTRUMENT);

// VELMORA_BENCH_PLUGIN=<module.so> measures any other module the same way.
const bool kOtherPlugin = [] {
  const char* other = std::getenv("VELMORA_BENCH_PLUGIN");
  if (other == nullptr || *other == '\0') return false;
  benchmark::RegisterBenchmark("ProcessBlocks/Other", ProcessBlocks, other)->Arg(512)->Arg(1);
  benchmark::RegisterBenchmark("ProcessBlocksWithMidi/Other", ProcessBlocksWithMidi, other);
  return true;
}();

}  // namespace
