#pragma once

#include <cstdint>

#include "framework/plugin/HostCode.h"

namespace velmora {

// The host code for a product text: the first known name found in the
// lower-cased text, in a fixed order (so "Cubase Nuendo" is Cubase); 0 when
// none is found.
HostCode HostCodeFromProduct(const char* product);

// A decimal vendor version d (major * 10000 + minor * 100 + patch) in the
// packed 0xVVVVRRMM form; a negative answer counts as 0.
int32_t PackHostVersion(intptr_t decimal);

}  // namespace velmora
