#pragma once

#include "framework/plugin/clap/ClapAbi.h"

namespace velmora {

// What each CLAP module supplies besides its plug-in (MakePlugin, made
// without calling the host): its one descriptor.
const clap_plugin_descriptor_t& ClapDescriptor();

// The three functions of the module's exported clap_entry. Init and deinit
// are counted: repeated calls are safe, the first init and the last deinit
// do the work. The factory answers only between them.
bool CLAP_ABI ClapEntryInit(const char* pluginPath);
void CLAP_ABI ClapEntryDeinit();
const void* CLAP_ABI ClapEntryFactory(const char* factoryId);

}  // namespace velmora
