// The entry points of a Windows plug-in DLL. Hosts look up VSTPluginMain,
// then main; C++ keeps the name main for a program's own entry, so the
// second is a C function given that symbol name. exports.def exports these
// two and nothing else.
#include <windows.h>

#include "framework/plugin/platform/win/ModuleInstance.h"
#include "framework/plugin/vst2/VstEntry.h"

// The editor's window class and the pictures are found through the module.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) velmora::SetModuleInstance(instance);
  return TRUE;
}

extern "C" AEffect* VST_CALL VSTPluginMain(audioMasterCallback hostCallback) {
  return velmora::CreateEffect(hostCallback, velmora::MakePlugin);
}

extern "C" AEffect* VST_CALL VstLegacyMain(audioMasterCallback hostCallback) __asm__("main");

extern "C" AEffect* VST_CALL VstLegacyMain(audioMasterCallback hostCallback) {
  return VSTPluginMain(hostCallback);
}
