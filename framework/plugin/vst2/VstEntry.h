#pragma once

#include "framework/plugin/vst2/Vst2Abi.h"

namespace velmora {

class IPluginVST;

// Makes one plug-in object for a host; supplied by each plug-in module.
using PluginFactory = IPluginVST* (*)(audioMasterCallback hostCallback);

// [any] What a module's VSTPluginMain does: under a process-wide lock, create the
// plug-in with the host's callback, fill its empty preset slots with the
// initial state and answer its effect record. Null for a null callback, a
// null factory, or a plug-in that could not be made (exceptions included).
AEffect* CreateEffect(audioMasterCallback hostCallback, PluginFactory factory);

// The factory a module built with velmora_add_vst_module() must define; the
// module's exported entry points call CreateEffect with it.
IPluginVST* CreatePlugin(audioMasterCallback hostCallback);

}  // namespace velmora
