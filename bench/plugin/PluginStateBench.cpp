#include <benchmark/benchmark.h>

#include "framework/plugin/IPluginBase.h"
#include "tests/TestDescriptor.h"

namespace velmora {
namespace {

class BenchPlugin : public IPluginBase {
 public:
  BenchPlugin()
      : IPluginBase(PluginHost::None(), velmora::test::TestDescriptor(30, "0-1 0-2", 8, "Velmora", 0x56656C6D)) {
    for (int i = 0; i < NParams(); ++i) {
      if (i % 2) {
        GetParam(i)->DefineBool("Switch", i % 4 == 1);
      } else {
        GetParam(i)->DefineInt("Choice", -1, 0, 360);
      }
    }
  }
};

void BM_SerializeParams(benchmark::State& state) {
  BenchPlugin plugin;
  ChunkBuffer chunk;
  for (auto _ : state) {
    chunk.Clear();
    benchmark::DoNotOptimize(plugin.SerializeParams(chunk));
  }
  state.SetBytesProcessed(state.iterations() * 240);
}
BENCHMARK(BM_SerializeParams);

void BM_UnserializeParams(benchmark::State& state) {
  BenchPlugin plugin;
  ChunkBuffer chunk;
  plugin.SerializeParams(chunk);
  for (auto _ : state) benchmark::DoNotOptimize(plugin.UnserializeParams(chunk, 0));
  state.SetBytesProcessed(state.iterations() * 240);
}
BENCHMARK(BM_UnserializeParams);

void BM_ParamsRoundTrip(benchmark::State& state) {
  BenchPlugin plugin;
  ChunkBuffer chunk;
  for (auto _ : state) {
    IPluginBase::AddChunkHeader(chunk);
    plugin.SerializeParams(chunk);
    int position = 0;
    IPluginBase::ReadChunkHeader(chunk, &position);
    benchmark::DoNotOptimize(plugin.UnserializeParams(chunk, position));
  }
}
BENCHMARK(BM_ParamsRoundTrip);

}  // namespace
}  // namespace velmora
