// The two entry points of an ELF plug-in module. Linux hosts look up
// VSTPluginMain, then main; C++ keeps the name main for the program's own
// entry, so the second is a C function given that symbol name. Everything
// else in the module stays hidden (see exports.map).
#include "framework/plugin/vst2/VstEntry.h"

#define VELMORA_VST_EXPORT __attribute__((visibility("default")))

extern "C" VELMORA_VST_EXPORT AEffect* VST_CALL VSTPluginMain(audioMasterCallback hostCallback) {
  return velmora::CreateEffect(hostCallback, velmora::MakePlugin);
}

extern "C" VELMORA_VST_EXPORT AEffect* VST_CALL VstLegacyMain(audioMasterCallback hostCallback)
    __asm__("main");

extern "C" AEffect* VST_CALL VstLegacyMain(audioMasterCallback hostCallback) {
  return VSTPluginMain(hostCallback);
}
