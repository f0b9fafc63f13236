// The processing thread under load: 10^5 blocks of 512 frames through the
// effect record while host notes arrive, takes start and end, and a second
// thread plays the editor's part (auditions, grid edits, keyboard presses,
// state saves) thousands of times a second, far beyond any hand. Reports the
// worst block and the tail of the distribution; the figure of merit is the
// worst. Blocks follow each other without pause, so one core is busy with
// them; the editor's thread rests 20 us between actions, so that the other
// core is not taken from the writer's and the system's threads.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

#include <unistd.h>

#include "bench/PrivateDataFolder.h"
#include "core/Velmora.h"
#include "framework/plugin/vst2/IPluginVST.h"

namespace {

using namespace velmora;
using Clock = std::chrono::steady_clock;

const bool kPrivateDataFolder = UsePrivateDataFolder("velmora-worst-bench");

std::atomic<bool> gPlaying{false};

intptr_t VST_CALL QuietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  static thread_local VstTimeInfo time{};
  switch (opcode) {
    case audioMasterVersion: return kVstVersion;
    case audioMasterGetTime:
      time.sampleRate = 44100.0;
      time.tempo = 120.0;
      time.flags = kVstTempoValid | (gPlaying.load(std::memory_order_relaxed) ? kVstTransportPlaying : 0);
      return reinterpret_cast<intptr_t>(&time);
    case audioMasterProcessEvents: return 1;
    default: return 0;
  }
}

class Loaded : public Velmora {
 public:
  using Velmora::Velmora;
  void Fill() {
    auto lock = Lock();
    mEngine.SelectScale(0);
    for (int i = 0; i < kGridCellCount; ++i)
      mEngine.ChordGrid[i] = EntryFromChordRow(ChordRowIndex(i % 12, (i * 7) % kChordTypeCount), i);
  }
};

void Editor(Loaded& plugin, const std::atomic<bool>& stop, long& actions) {
  std::mt19937 random(2);
  const ChordNotes chord = {60, 64, 67, 71, 74, 77};
  for (; !stop.load(std::memory_order_relaxed); ++actions) {
    const int k = static_cast<int>(random() % 16);
    switch (random() % 8) {
      case 0: plugin.StartChord(chord, k % 3 - 1, k % 3, 100); break;
      case 1: plugin.StopChord(chord, k % 3 - 1, k % 3); break;
      case 2: plugin.MoveCell(17 + (k % 4) * 94, 316, 17 + 94 * (random() % 4) + 5, 410 + 5); break;
      case 3: plugin.PlaceListChord(EntryFromChordRow(k * 7, -1), 7 + 33 * (k % 20), 30, 330); break;
      case 4: plugin.SetPressedKey(k % 2 ? -1 : 5 + k); break;
      case 5: plugin.ToggleCellLock(EntryFromChordRow(ChordRowIndex(k % 12, (k * 7) % kChordTypeCount), k)); break;
      default: {
        auto lock = plugin.Lock();  // as the adapter's effGetChunk
        ChunkBuffer chunk;
        plugin.SaveState(chunk);
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(20));
  }
}

// The machine's own floor: the same timing around a fixed fraction of a
// microsecond of plain work, with no plug-in and no other thread. Where this
// worst is tens of microseconds (a virtual machine's preemptions), no block
// can be timed below it.
double WorstOfPlainWork(int times) {
  volatile unsigned sink = 0;
  double worst = 0.0;
  for (int t = 0; t < times; ++t) {
    const auto start = Clock::now();
    for (unsigned i = 0; i < 200; ++i) sink = sink + i;
    worst = std::max(worst, std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  return worst;
}

void BM_WorstBlockUnderLoad(benchmark::State& state) {
  constexpr int kBlocks = 100000;
  for (auto _ : state) {
    // effClose deletes both.
    auto* adapter = new IPluginVST(&QuietHost, [](PluginHost& host) { return std::make_unique<Loaded>(host); });
    auto* plugin = static_cast<Loaded*>(&adapter->Plugin());
    plugin->Fill();
    AEffect* effect = adapter->Effect();
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, 512, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    effect->setParameter(effect, kRecord, 1.0f);
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    std::vector<double> took(kBlocks);
    std::atomic<bool> stop{false};
    long actions = 0;
    std::thread editor(Editor, std::ref(*plugin), std::cref(stop), std::ref(actions));
    std::mt19937 random(1);
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof event;
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&event);
    for (int b = 0; b < kBlocks; ++b) {
      if (b % 200 == 0) gPlaying = !gPlaying;  // takes start and end
      event.midiData[0] = static_cast<char>(random() % 2 ? 0x90 : 0x80);
      event.midiData[1] = static_cast<char>(36 + random() % 16);
      event.midiData[2] = 100;
      const auto start = Clock::now();
      effect->dispatcher(effect, effProcessEvents, 0, 0, &events, 0.0f);
      effect->processReplacing(effect, nullptr, outputs, 512);
      took[static_cast<size_t>(b)] = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    }
    stop = true;
    editor.join();
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    std::sort(took.begin(), took.end());
    state.counters["worst_us"] = took.back();
    state.counters["p999_us"] = took[kBlocks * 999 / 1000];
    state.counters["p99_us"] = took[kBlocks * 99 / 100];
    state.counters["median_us"] = took[kBlocks / 2];
    state.counters["editor_actions"] = static_cast<double>(actions);
    state.counters["floor_worst_us"] = WorstOfPlainWork(kBlocks);
  }
}
BENCHMARK(BM_WorstBlockUnderLoad)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
