// The editor's window on Linux: an X11 child of the host's window, its events
// on the X connection's descriptor.
#include <cstdint>

#include "framework/plugin/clap/ClapExtensions.h"

namespace velmora {

const char* ClapWindowApi() { return CLAP_WINDOW_API_X11; }

void* ClapParentHandle(const clap_window_t& window) {
  return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window.x11));
}

bool ClapEditorUsesDescriptor() { return true; }

}  // namespace velmora
