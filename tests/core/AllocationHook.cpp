#include "AllocationHook.h"

#include <cstdlib>
#include <new>

namespace velmora::test {

thread_local bool AllocationHook::counting = false;
std::atomic<int> AllocationHook::allocations{0};

}  // namespace velmora::test

namespace {

using velmora::test::AllocationHook;

void* Allocate(std::size_t size) {
  if (AllocationHook::counting) AllocationHook::allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (AllocationHook::counting) AllocationHook::allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
