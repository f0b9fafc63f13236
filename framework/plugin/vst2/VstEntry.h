#pragma once

#include "framework/plugin/PluginFactory.h"
#include "framework/plugin/vst2/Vst2Abi.h"

namespace velmora {

// [any] What a module's VSTPluginMain does: under a process-wide lock, make
// the plug-in inside its VST 2.4 adapter with the host's callback, fill its
// empty preset slots with the initial state and answer the effect record.
// Null for a null callback, a null factory, or a plug-in that could not be
// made (exceptions included).
AEffect* CreateEffect(audioMasterCallback hostCallback, const PluginFactory& make);

}  // namespace velmora
