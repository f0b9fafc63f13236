#pragma once

#include <cstdint>

#include "framework/plugin/PluginFactory.h"
#include "framework/plugin/vst3/Vst3Abi.h"

namespace velmora {

// What a VST 3 module is: its identity as hosts list and store it, and how
// it makes the plug-in both of its classes stand on. The module's sources
// define Vst3Module().
struct Vst3ModuleInfo {
  const char* name;           // the bundle's stem, and the classes' name
  const char* vendor;
  const char* url;
  const char* email;
  const char* version;        // "1.4.0"
  const char* subCategories;  // "Instrument"
  vst3::Uid processorId;
  vst3::Uid controllerId;
  vst3::ParamID bypassId;     // the bypass parameter, beside the plug-in's own
  PluginFactory makePlugin;
};

const Vst3ModuleInfo& Vst3Module();

// The factory GetPluginFactory hands out (counted: the caller owns one
// reference), and the module's load counter behind ModuleEntry/ModuleExit
// and InitDll/ExitDll.
vst3::IPluginFactory* Vst3GetFactory();
bool Vst3ModuleEnter();
bool Vst3ModuleLeave();

}  // namespace velmora
