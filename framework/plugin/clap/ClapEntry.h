#pragma once

#include "framework/plugin/clap/ClapAbi.h"

namespace velmora {

class IPluginClap;

// What each CLAP module supplies: its one descriptor, and a factory that
// makes one plug-in object for a host (without calling the host).
const clap_plugin_descriptor_t& ClapDescriptor();
IPluginClap* CreateClapPlugin(const clap_host_t* host);

// The three functions of the module's exported clap_entry. Init and deinit
// are counted: repeated calls are safe, the first init and the last deinit
// do the work. The factory answers only between them.
bool CLAP_ABI ClapEntryInit(const char* pluginPath);
void CLAP_ABI ClapEntryDeinit();
const void* CLAP_ABI ClapEntryFactory(const char* factoryId);

}  // namespace velmora
