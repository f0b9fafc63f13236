#!/usr/bin/env bash
# The sanitizer runs of the test suite:
#  - ThreadSanitizer over the multi-threaded stress tests (label "stress");
#  - AddressSanitizer + UndefinedBehaviorSanitizer (clang) over the tests that
#    load the plug-in module (label "asan") and a bounded libFuzzer run of the
#    state restore (label "fuzz").
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=thread >/dev/null
# Only the stress tests run here, so only they are built.
cmake --build build-tsan -j "$jobs" --target velmora_plugin_stress_tests velmora_core_stress_tests \
  velmora_editor_stress_tests raster_stress_tests graphics_stress_tests velmora_vst2_stress_tests \
  velmora_clap_stress_tests velmora_vst3_stress_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build-tsan -L stress --output-on-failure --no-tests=ignore

CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_SANITIZE=address,undefined -DVELMORA_BUILD_FUZZ=ON >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1" \
  ctest --test-dir build-asan -L 'asan|fuzz' --output-on-failure --no-tests=ignore -j "$jobs"
