#pragma once

#include <X11/Xlib.h>

namespace velmora::x11 {

// The scale the desktop asks of X clients, as a step of the editor's
// scales (EditorScale.h): Xft.dpi of the resources divided by 96, or, when
// the resources name no Xft.dpi, the integer factor in GDK_SCALE. 0 when
// neither says anything. resources is the server's RESOURCE_MANAGER text;
// either argument may be null.
int ScaleFromResources(const char* resources, const char* gdkScale);

// The same for a connection (its resources and this process's GDK_SCALE).
// Threads: the connection's thread.
int SystemScale(Display* display);

// The same for $DISPLAY, read once per process on a connection of its own
// (0 without a display). Threads: [any].
int DefaultDisplayScale();

}  // namespace velmora::x11
