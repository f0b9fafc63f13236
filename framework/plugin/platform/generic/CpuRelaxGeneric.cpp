#include <atomic>

#include "framework/plugin/CpuRelax.h"

namespace velmora {

// Without a pause instruction, a compiler barrier keeps the loop honest.
void CpuRelax() { std::atomic_signal_fence(std::memory_order_seq_cst); }

}  // namespace velmora
