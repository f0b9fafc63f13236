#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <mutex>

namespace velmora::x11 {

// Xlib keeps some process-wide tables (extensions, the error handler) that
// it guards only after XInitThreads, which a plug-in may not call. Every
// editor of the module takes this lock around the calls that touch them.
// Threads: [any].
std::mutex& XlibLock();

// A connection of our own to the host's display ($DISPLAY). Protocol errors
// on it are counted instead of reaching the host's error handler (whose
// default ends the process): a host may destroy our parent at any time.
Display* OpenDisplay();
void CloseDisplay(Display* display);

// Errors counted on one of our connections since the last call. The Synced
// form makes a round trip first, so it covers every request sent so far.
int TakeErrors(Display* display);
int SyncAndTakeErrors(Display* display);

// The next event, waiting at most timeout for one; false when none came.
bool NextEvent(Display* display, XEvent& event, std::chrono::milliseconds timeout);

}  // namespace velmora::x11
