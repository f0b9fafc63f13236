#pragma once

#include "framework/plugin/clap/ClapAbi.h"

namespace velmora {

// The extension tables the plug-in offers; each file fills its own.
extern const clap_plugin_params_t kClapParams;
extern const clap_plugin_state_t kClapState;
extern const clap_plugin_note_ports_t kClapNotePorts;
extern const clap_plugin_note_name_t kClapNoteName;
extern const clap_plugin_gui_t kClapGui;
extern const clap_plugin_timer_support_t kClapTimerSupport;
extern const clap_plugin_posix_fd_support_t kClapPosixFdSupport;

// The platform's embedded window interface ("x11", "win32"), the parent
// window a host hands over as the editor's parent handle, and whether the
// editor's events come through a descriptor the host can watch.
const char* ClapWindowApi();
void* ClapParentHandle(const clap_window_t& window);
bool ClapEditorUsesDescriptor();

// A descriptor that turns readable every periodMs, for a host that watches
// descriptors but offers no timer; -1 where the platform makes none. Drain
// reads what made it readable; Close lets it go.
int OpenTimerDescriptor(uint32_t periodMs);
void DrainTimerDescriptor(int fd);
void CloseTimerDescriptor(int fd);

}  // namespace velmora
