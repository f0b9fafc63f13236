#pragma once

#include <windows.h>

namespace velmora {

// The module (DLL or program) this plug-in lives in: its window class and its
// resources belong to it. The DLL's load notification stores it; until then
// (a program that links the plug-in in) it is the module holding this code.
HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);

}  // namespace velmora
