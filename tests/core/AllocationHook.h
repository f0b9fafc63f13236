#pragma once

#include <atomic>

namespace velmora::test {

// The global allocator of a test program that links AllocationHook.cpp,
// counting what one thread allocates while counting is on. A plug-in module
// the program loads allocates through it too when the program exports it
// (ENABLE_EXPORTS).
struct AllocationHook {
  static thread_local bool counting;
  static std::atomic<int> allocations;

  // Allocations made by f on this thread.
  template <typename F>
  static int Count(F f) {
    allocations = 0;
    counting = true;
    f();
    counting = false;
    return allocations.load();
  }
};

}  // namespace velmora::test
