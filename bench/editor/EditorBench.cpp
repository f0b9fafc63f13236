// The plug-in's real editor without a window: opening it (the plug-in with
// its 63 controls, the pictures decoded once per process), a full redraw,
// and an idle tick when nothing changed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
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

// Registered first: the first instance of the process decodes the pictures.
void BM_OpenEditor(benchmark::State& state) {
  static const double firstMs = [] {  // the library may run this more than once
    const auto start = Clock::now();
    auto first = std::make_unique<InUse>();
    first->Ui().OpenWindow(nullptr);
    first->Ui().OnTimerTick();
    return Milliseconds(Clock::now() - start);
  }();
  state.counters["first_ms"] = firstMs;
  for (auto _ : state) {
    auto next = std::make_unique<InUse>();
    next->Ui().OpenWindow(nullptr);
    benchmark::DoNotOptimize(next.get());
  }
}
BENCHMARK(BM_OpenEditor)->Unit(benchmark::kMillisecond);

void BM_FullRedraw(benchmark::State& state) {
  InUse plugin;
  HeadlessGraphics& ui = plugin.Ui();
  ui.OpenWindow(nullptr);
  ui.OnTimerTick();
  for (auto _ : state) ui.RedrawAll();
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);

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
