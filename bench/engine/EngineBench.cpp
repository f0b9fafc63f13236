#include <benchmark/benchmark.h>

#include "engine/ChordEngine.h"

namespace velmora {
namespace {

// A scale plus every kind of filter, so each rebuild runs every test on the rows.
void ConfigureAllFilters(ChordEngine& engine) {
  engine.SelectScale(0);
  engine.SetLooseMatchLimit(2);
  engine.ExcludedRoots[1] = true;
  engine.ExcludedChordTypes[13] = true;
  for (int r : {0, 2, 4, 5, 7, 9, 11}) engine.IncludedRoots[r] = true;
  for (int t = 0; t < kChordTypeCount; t += 2) engine.IncludedChordTypes[t] = true;
  engine.PitchClassSelection[7] = true;
  engine.EnabledInversions[1] = true;
}

void BM_RebuildChordList(benchmark::State& state) {
  ChordEngine engine;
  ConfigureAllFilters(engine);
  for (auto _ : state) {
    engine.RebuildChordList();
    benchmark::DoNotOptimize(engine.ChordList.data());
  }
  state.counters["chords"] = static_cast<double>(engine.ChordList.size());
}
BENCHMARK(BM_RebuildChordList);

// The longest list: every row passes, so every row is copied.
void BM_RebuildChordListAllRows(benchmark::State& state) {
  ChordEngine engine;
  engine.SelectScale(0);
  engine.SetLooseMatchLimit(4);
  engine.EnabledInversions.fill(true);
  for (auto _ : state) {
    engine.RebuildChordList();
    benchmark::DoNotOptimize(engine.ChordList.data());
  }
  state.counters["chords"] = static_cast<double>(engine.ChordList.size());
}
BENCHMARK(BM_RebuildChordListAllRows);

void BM_PushHistoryAtCapacity(benchmark::State& state) {
  ChordEngine engine;
  for (int i = 0; i < kGridCellCount; ++i) {
    engine.ChordGrid[i] = EntryFromChordRow(i * 20 + 3, i);
  }
  int change = 0;
  for (int i = 0; i < 200; ++i) {
    engine.ChordGrid[0].inversion = ++change;
    engine.PushHistory();
  }
  for (auto _ : state) {
    engine.ChordGrid[0].inversion = ++change;  // always differs from the newest snapshot
    engine.PushHistory();
  }
  state.counters["snapshots"] = static_cast<double>(engine.history.Snapshots().size());
}
BENCHMARK(BM_PushHistoryAtCapacity);

}  // namespace
}  // namespace velmora
