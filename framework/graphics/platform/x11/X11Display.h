#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <mutex>
#include <string>

namespace velmora::x11 {

// Xlib keeps some process-wide tables (extensions) that it guards only
// after XInitThreads, which a plug-in may not call. Every editor of the
// module takes this lock around the calls that touch them.
// Threads: [any].
std::mutex& XlibLock();

// A connection of our own to an X server: name null for $DISPLAY.
//
// Protocol errors on it are counted on the connection itself (Xlib's
// per-display error conversion hook), so they never reach the process-wide
// error handler, whoever installed it and whatever it does: a host may
// destroy our parent at any time, and a host may put its own handler back
// after any call into us.
//
// A lost server (the session ended, the server was killed) marks the
// connection lost (Xlib's per-display exit hook) instead of ending the
// process; from then on its owner makes no X call on it and lets it go
// with ForgetDisplay. Threads: any, one thread at a time per connection.
Display* OpenDisplay(const char* name = nullptr);
// Closes a connection; one that was lost is only forgotten.
void CloseDisplay(Display* display);
bool IsLost(Display* display);

// Errors counted on one of our connections since the last call. The Synced
// form makes a round trip first, so it covers every request sent so far.
int TakeErrors(Display* display);
int SyncAndTakeErrors(Display* display);

// The next event, waiting at most timeout for one; false when none came or
// the connection is lost.
bool NextEvent(Display* display, XEvent& event, std::chrono::milliseconds timeout);

// The name of the server behind a Display* a host handed us (as effEditOpen's
// value), read without trusting the pointer: empty when it does not lead to
// a readable, plausible display name.
std::string ForeignDisplayName(const void* display);

}  // namespace velmora::x11
