// The plug-in core's hot paths: processing blocks, auditions, the block that
// ends a take, and the state chunk.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "bench/PrivateDataFolder.h"
#include "core/Velmora.h"

namespace {

using namespace velmora;
using Clock = std::chrono::steady_clock;

const bool kPrivateDataFolder = UsePrivateDataFolder("velmora-bench");

// A host that takes every message and answers the time from a field.
struct TakingHost : PluginHost {
  TimeInfo time;
  bool SendMidi(const MidiMessage& message) override {
    benchmark::DoNotOptimize(message);
    return true;
  }
  void ReadHostTime(TimeInfo* info) override { *info = time; }
  double HostTempo() override { return 120.0; }
};

// The host is made before the plug-in that calls it.
struct WithTakingHost {
  TakingHost takingHost;
};

class BenchHost : private WithTakingHost, public Velmora {
 public:
  BenchHost() : Velmora(takingHost) {}
  TimeInfo& time = takingHost.time;
  // What the block sends while recording, straight into the take.
  void Capture(int events) {
    for (int i = 0; i < events; ++i)
      mRecorder.CaptureSent(MidiMessage{0, static_cast<uint8_t>(i % 2 ? 0x80 : 0x90), uint8_t(60 + i % 12), 100});
  }
  int64_t Dropped() const { return mAuditions.MidiQueue().DroppedCount(); }
  // Sixteen filled cells and every filter in use.
  void FillState() {
    auto lock = Lock();
    ChordEngine& e = mEngine;
    for (int i = 0; i < kGridCellCount; ++i) {
      e.ChordGrid[i] = EntryFromChordRow(ChordRowIndex(i % 12, (i * 7) % kChordTypeCount), i);
      e.ChordGrid[i].octave = i % 9 - 4;
      e.ChordGrid[i].inversion = i % 3;
      e.ChordGrid[i].locked = i % 2 == 0;
    }
    for (int r = 0; r < kPitchClassCount; r += 2) e.ExcludedRoots[r] = true;
    for (int t = 0; t < kChordTypeCount; t += 3) e.ExcludedChordTypes[t] = true;
    for (int r = 1; r < kPitchClassCount; r += 4) e.IncludedRoots[r] = true;
    for (int t = 1; t < kChordTypeCount; t += 5) e.IncludedChordTypes[t] = true;
    for (int p = 0; p < kPitchClassCount; p += 3) e.PitchClassSelection[p] = true;
    e.SelectScale(16 * 12 + 2);
  }
};

const ChordNotes kSixNotes = {48, 52, 55, 59, 62, 66};

struct Outputs {
  std::vector<double> left = std::vector<double>(512), right = std::vector<double>(512);
  double* slots[2] = {left.data(), right.data()};
};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_ProcessBlockIdle(benchmark::State& state) {
  BenchHost host;
  Outputs out;
  for (auto _ : state) host.ProcessBlock(nullptr, out.slots, 512);
}
BENCHMARK(BM_ProcessBlockIdle);

void BM_ProcessBlockSendingAChordStart(benchmark::State& state) {
  BenchHost host;
  Outputs out;
  for (auto _ : state) {
    host.StartChord(kSixNotes, 0, 0, 100);
    const auto start = Clock::now();
    host.ProcessBlock(nullptr, out.slots, 512);
    state.SetIterationTime(Seconds(Clock::now() - start));
    host.StopChord(kSixNotes, 0, 0);
    host.ProcessBlock(nullptr, out.slots, 512);
  }
}
BENCHMARK(BM_ProcessBlockSendingAChordStart)->UseManualTime();

void BM_StartAndStopChord(benchmark::State& state) {
  BenchHost host;
  Outputs out;
  for (auto _ : state) {
    const auto start = Clock::now();
    host.StartChord(kSixNotes, 0, 0, 100);
    host.StopChord(kSixNotes, 0, 0);
    state.SetIterationTime(Seconds(Clock::now() - start));
    host.ProcessBlock(nullptr, out.slots, 512);
  }
}
BENCHMARK(BM_StartAndStopChord)->UseManualTime();

// One event list of 640 trigger notes (every cell struck and released 20
// times) and the block that sends them: the queue keeps its room, so most of
// the note-ons drop.
void BM_HostNoteBurstPastTheQueuesRoom(benchmark::State& state) {
  BenchHost host;
  host.FillState();
  Outputs out;
  const auto note = [](int status, int k) { return MidiMessage{0, uint8_t(status), uint8_t(36 + k), 100}; };
  for (auto _ : state) {
    auto lock = host.Lock();
    for (int round = 0; round < 20; ++round) {
      for (int k = 0; k < kGridCellCount; ++k) host.HandleMidiMessage(note(0x90, k));
      for (int k = 0; k < kGridCellCount; ++k) host.HandleMidiMessage(note(0x80, k));
    }
    host.ProcessBlock(nullptr, out.slots, 512);
  }
  state.counters["dropped"] = benchmark::Counter(double(host.Dropped()), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_HostNoteBurstPastTheQueuesRoom);

// The block that sees the transport stop: the take is handed to the writer
// as one message, whatever its size. Reports the worst block seen besides
// the mean.
void BM_BlockEndingATake(benchmark::State& state) {
  BenchHost host;
  Outputs out;
  host.GetParam(kRecord)->SetClamped(1.0);
  host.OnParamChanged(kRecord);
  const int events = static_cast<int>(state.range(0));
  double worst = 0.0;
  for (auto _ : state) {
    host.time.transportIsRunning = true;
    host.StartChord({60}, 0, 0, 100);  // starts the take
    host.ProcessBlock(nullptr, out.slots, 512);
    host.Capture(events - 1);
    host.time.transportIsRunning = false;
    const auto start = Clock::now();
    host.ProcessBlock(nullptr, out.slots, 512);
    const double took = Seconds(Clock::now() - start);
    state.SetIterationTime(took);
    worst = std::max(worst, took);
    host.StopChord({60}, 0, 0);
    host.ProcessBlock(nullptr, out.slots, 512);
    state.PauseTiming();
    host.WaitForExports();  // the writer takes the take in before the next one
    state.ResumeTiming();
  }
  state.counters["worst_us"] = worst * 1e6;
}
BENCHMARK(BM_BlockEndingATake)->Arg(16)->Arg(1000)->Arg(8000)->UseManualTime()->Iterations(300);

void BM_SaveState(benchmark::State& state) {
  BenchHost host;
  host.FillState();
  ChunkBuffer chunk;
  for (auto _ : state) {
    chunk.Clear();
    host.SaveState(chunk);
  }
  state.counters["bytes"] = chunk.Size();
}
BENCHMARK(BM_SaveState);

void BM_LoadState(benchmark::State& state) {
  BenchHost host;
  host.FillState();
  ChunkBuffer chunk;
  host.SaveState(chunk);
  for (auto _ : state) benchmark::DoNotOptimize(host.LoadState(chunk, 0));
}
BENCHMARK(BM_LoadState);

}  // namespace
