// The editor's window on Windows: a Win32 child of the host's window, its
// events through the window's own message loop.
#include "framework/plugin/clap/ClapExtensions.h"

namespace velmora {

const char* ClapWindowApi() { return CLAP_WINDOW_API_WIN32; }

void* ClapParentHandle(const clap_window_t& window) { return window.win32; }

bool ClapEditorUsesDescriptor() { return false; }

// The window's own message loop runs the editor here.
int OpenTimerDescriptor(uint32_t /*periodMs*/) { return -1; }
void DrainTimerDescriptor(int /*fd*/) {}
void CloseTimerDescriptor(int /*fd*/) {}

}  // namespace velmora
