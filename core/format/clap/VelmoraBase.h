#pragma once

#include "framework/plugin/clap/IPluginClap.h"

namespace velmora {

// The class Velmora derives from in the CLAP module: the plug-in base as a
// CLAP plug-in. The core reaches the host only through virtuals of the
// plug-in base, so it is the same code in both modules, built once for each
// (velmora_core_clap). Its construction takes the host record first.
using VelmoraBase = IPluginClap;

}  // namespace velmora
