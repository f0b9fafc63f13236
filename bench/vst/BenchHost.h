#pragma once
// Shared set-up of the harness for the processing benchmarks.
#include "tools/vsthost/VstHost.h"

#include <benchmark/benchmark.h>

#include <cstdint>

// Loads the module and brings it to a running, resumed state with the
// transport playing; on failure the benchmark is skipped with the reason.
inline bool StartBenchHost(velmora::host::VstHost& host, const char* path, benchmark::State& state,
                           std::int32_t frames = 512) {
  if (!host.load(path)) {
    state.SkipWithError(host.error().c_str());
    return false;
  }
  host.open();
  host.setSampleRate(44100.0);
  host.setBlockSize(frames);
  host.resume();
  host.setTransportPlaying(true);
  return true;
}
