// The three exports of a Linux VST 3 module. Everything else stays hidden
// (see exports.map).
#include "framework/plugin/vst3/Vst3Module.h"

// NOLINTBEGIN(readability-identifier-naming): the names hosts look up
extern "C" {

__attribute__((visibility("default"))) velmora::vst3::IPluginFactory* GetPluginFactory() {
  return velmora::Vst3GetFactory();
}

__attribute__((visibility("default"))) bool ModuleEntry(void* /*sharedLibraryHandle*/) {
  return velmora::Vst3ModuleEnter();
}

__attribute__((visibility("default"))) bool ModuleExit() { return velmora::Vst3ModuleLeave(); }

}  // extern "C"
// NOLINTEND(readability-identifier-naming)
