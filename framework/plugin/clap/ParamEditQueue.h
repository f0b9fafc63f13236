#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace velmora {

// The editor's parameter edits on their way to the host: a fixed ring with
// one producer and one consumer, neither of which ever waits or allocates.
//
// Threads: [editor, under the plug-in lock] Push (the lock makes every
// producer one at a time); [audio or main, the host's process or flush] Pop.
class ParamEditQueue {
 public:
  enum class Kind : uint8_t { kBegin, kValue, kEnd };
  struct Edit {
    Kind kind = Kind::kValue;
    int32_t index = 0;
    double value = 0.0;  // the parameter's real value (kValue only)
  };
  static constexpr uint32_t kCapacity = 512;

  // False when the ring is full: the edit is dropped and counted.
  bool Push(const Edit& edit);
  bool Pop(Edit* edit);
  bool Empty() const;
  // Edits dropped so far because the ring was full.
  uint32_t Dropped() const { return mDropped.load(std::memory_order_relaxed); }

 private:
  std::array<Edit, kCapacity> mEdits{};
  std::atomic<uint32_t> mHead{0};  // next to pop, written by the consumer
  std::atomic<uint32_t> mTail{0};  // next to fill, written by the producer
  std::atomic<uint32_t> mDropped{0};
};

}  // namespace velmora
