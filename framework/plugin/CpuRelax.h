#pragma once

namespace velmora {

// A pause inside a spin-wait: it lets the core's other hardware thread run
// and saves power. The processor's own instruction where it has one.
void CpuRelax();

}  // namespace velmora
