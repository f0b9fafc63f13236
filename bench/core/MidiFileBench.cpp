// Writing a long take: 100,000 note events on the second of two tracks.
#include "core/MidiFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

using velmora::MidiFile;
using velmora::TrackEvent;

constexpr int kNoteEvents = 100000;

void fillTake(MidiFile& file) {
  file.AddTrack();
  for (int i = 0; i < kNoteEvents / 2; ++i) {
    const auto note = static_cast<std::uint8_t>(36 + i % 48);
    file.AddEvent(1, TrackEvent(i * 60, {0x90, note, 100}));
    file.AddEvent(1, TrackEvent(i * 60 + 45, {0x80, note, 0}));
  }
  file.sortTracks();
}

std::string benchPath() { return "/tmp/velmora-bench-" + std::to_string(getpid()) + ".mid"; }

void BM_WriteTake(benchmark::State& state) {
  MidiFile file;
  fillTake(file);
  const std::string path = benchPath();
  for (auto _ : state) benchmark::DoNotOptimize(file.Write(path));
  state.SetItemsProcessed(state.iterations() * kNoteEvents);
  std::remove(path.c_str());
}
BENCHMARK(BM_WriteTake)->Unit(benchmark::kMillisecond);

// The whole export: build, sort, write, as the recorder does it.
void BM_BuildSortWriteTake(benchmark::State& state) {
  const std::string path = benchPath();
  for (auto _ : state) {
    MidiFile file;
    fillTake(file);
    benchmark::DoNotOptimize(file.Write(path));
  }
  state.SetItemsProcessed(state.iterations() * kNoteEvents);
  std::remove(path.c_str());
}
BENCHMARK(BM_BuildSortWriteTake)->Unit(benchmark::kMillisecond);

}  // namespace
