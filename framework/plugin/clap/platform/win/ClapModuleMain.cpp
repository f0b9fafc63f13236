// The one export of a Windows CLAP module: the data symbol clap_entry
// (exports.def). DllMain keeps the module handle for windows and resources.
#include <windows.h>

#include "framework/plugin/clap/ClapEntry.h"
#include "framework/plugin/platform/win/ModuleInstance.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) velmora::SetModuleInstance(instance);
  return TRUE;
}

// Without braces, extern "C" keeps the object's external linkage.
// NOLINTNEXTLINE(readability-identifier-naming): the name hosts look up
extern "C" __declspec(dllexport) const clap_plugin_entry_t clap_entry = {
    CLAP_VERSION_INIT, velmora::ClapEntryInit, velmora::ClapEntryDeinit, velmora::ClapEntryFactory};
