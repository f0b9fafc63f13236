#include <emmintrin.h>

#include "framework/plugin/CpuRelax.h"

namespace velmora {

void CpuRelax() { _mm_pause(); }

}  // namespace velmora
