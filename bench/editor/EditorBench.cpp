// The plug-in's real editor without a window: opening it (the plug-in with
// its 63 controls, the pictures decoded once per process), a full redraw,
// and an idle tick when nothing changed. Opening and the full redraw are
// measured at 100 %, 150 % and 200 % (the argument); first_ms is the first
// opening at that scale in the process, pictures for it made on the way
// (run one scale per process, --benchmark_filter=/150$, for a cold figure).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include <unistd.h>

#include "bench/PrivateDataFolder.h"
#include "core/Velmora.h"
#include "editor/VelmoraEditor.h"
#include "framework/graphics/headless/HeadlessGraphics.h"

namespace {

using namespace velmora;
using Clock = std::chrono::steady_clock;

const bool kPrivateDataFolder = UsePrivateDataFolder("velmora-editor-bench");

// A plug-in in use: D Dorian, a random grid, filters in both boxes.
class InUse : public Velmora {
 public:
  InUse() : Velmora(PluginHost::None()) {
    auto lock = Lock();
    SetScaleChoice(2, 16);
    Set(kScalesDropdown, 194.0);
    Set(kLooseMatches, 1.0);
    mEngine.SeedRandom(3);
    Set(kRandomizeGrid, 1.0);
    for (int root : {1, 8}) mEngine.ExcludedRoots[static_cast<size_t>(root)] = true;
    for (int type : {0, 7, 9}) mEngine.IncludedChordTypes[static_cast<size_t>(type)] = true;
    mEngine.views.inclusions->MarkForRedraw();
  }
  HeadlessGraphics& Ui() { return static_cast<HeadlessGraphics&>(static_cast<VelmoraEditor&>(EditorParts()).Graphics()); }

 private:
  void Set(int index, double value) {
    GetParam(index)->SetClamped(value);
    OnParamChanged(index);
  }
};

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The editor opened at percent and drawn once, as a host's window shows it.
std::unique_ptr<InUse> Opened(int percent) {
  auto plugin = std::make_unique<InUse>();
  plugin->Ui().SetUserScale(percent);
  plugin->Ui().OpenWindow(nullptr);
  plugin->Ui().OnTimerTick();
  return plugin;
}

// Registered first: the first instance at a scale decodes (or makes) its pictures.
void BM_OpenEditor(benchmark::State& state) {
  const int percent = int(state.range(0));
  // The library may run this more than once. The processor time as well as
  // the wall time: on a shared machine the wall time holds other programs' turns.
  static std::map<int, std::pair<double, double>> first;
  if (first.count(percent) == 0) {
    const auto start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    Opened(percent);
    first[percent] = {Milliseconds(Clock::now() - start), 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC};
  }
  state.counters["first_ms"] = first[percent].first;
  state.counters["first_cpu_ms"] = first[percent].second;
  for (auto _ : state) benchmark::DoNotOptimize(Opened(percent).get());
}
BENCHMARK(BM_OpenEditor)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_FullRedraw(benchmark::State& state) {
  const std::unique_ptr<InUse> plugin = Opened(int(state.range(0)));
  for (auto _ : state) plugin->Ui().RedrawAll();
}
BENCHMARK(BM_FullRedraw)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_IdleTick(benchmark::State& state) {
  InUse plugin;
  HeadlessGraphics& ui = plugin.Ui();
  ui.OpenWindow(nullptr);
  ui.OnTimerTick();
  ui.OnTimerTick();
  for (auto _ : state) ui.OnTimerTick();
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kMicrosecond);

// A tick after one grid cell started sounding: that cell alone is painted.
void BM_TickWithOneCellChanged(benchmark::State& state) {
  InUse plugin;
  HeadlessGraphics& ui = plugin.Ui();
  ui.OpenWindow(nullptr);
  ui.OnTimerTick();
  MidiMessage note;
  note.data1 = 36;
  note.data2 = 100;
  bool on = false;
  for (auto _ : state) {
    on = !on;
    note.status = on ? 0x90 : 0x80;
    {
      auto lock = plugin.Lock();
      plugin.HandleMidiMessage(note);
    }
    ui.OnTimerTick();
  }
}
BENCHMARK(BM_TickWithOneCellChanged)->Unit(benchmark::kMicrosecond);

}  // namespace
