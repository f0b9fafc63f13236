// The exports of a Windows VST 3 module: its factory, and the optional load
// counter. exports.def exports these and nothing else.
#include <windows.h>

#include "framework/plugin/platform/win/ModuleInstance.h"
#include "framework/plugin/vst3/Vst3Module.h"

// The editor's window class and the pictures are found through the module.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) velmora::SetModuleInstance(instance);
  return TRUE;
}

extern "C" velmora::vst3::IPluginFactory* VST3_API GetPluginFactory() { return velmora::Vst3GetFactory(); }
extern "C" bool InitDll() { return velmora::Vst3ModuleEnter(); }
extern "C" bool ExitDll() { return velmora::Vst3ModuleLeave(); }
