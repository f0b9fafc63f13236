#include "framework/graphics/platform/x11/X11Display.h"

#include <poll.h>

#include <algorithm>
#include <vector>

namespace velmora::x11 {

namespace {

struct Counted {
  Display* display;
  int errors;
};

// The handler lives in this module, so it is installed only while one of
// our connections is open and put back before the module can be unloaded.
std::mutex gRegistryLock;
std::vector<Counted> gDisplays;
XErrorHandler gPrevious = nullptr;

int OnError(Display* display, XErrorEvent* event) {
  XErrorHandler forward = nullptr;
  {
    std::lock_guard<std::mutex> guard(gRegistryLock);
    for (Counted& counted : gDisplays) {
      if (counted.display == display) {
        ++counted.errors;
        return 0;
      }
    }
    forward = gPrevious;
  }
  return forward ? forward(display, event) : 0;
}

void Register(Display* display) {
  std::lock_guard<std::mutex> guard(gRegistryLock);
  if (gDisplays.empty()) gPrevious = XSetErrorHandler(OnError);
  gDisplays.push_back(Counted{display, 0});
}

void Unregister(Display* display) {
  std::lock_guard<std::mutex> guard(gRegistryLock);
  gDisplays.erase(std::remove_if(gDisplays.begin(), gDisplays.end(),
                                 [display](const Counted& c) { return c.display == display; }),
                  gDisplays.end());
  if (!gDisplays.empty()) return;
  // Someone who replaced our handler meanwhile keeps theirs.
  const XErrorHandler current = XSetErrorHandler(gPrevious);
  if (current != OnError) XSetErrorHandler(current);
  gPrevious = nullptr;
}

}  // namespace

std::mutex& XlibLock() {
  static std::mutex lock;
  return lock;
}

Display* OpenDisplay() {
  std::lock_guard<std::mutex> guard(XlibLock());
  Display* display = XOpenDisplay(nullptr);
  if (display) Register(display);
  return display;
}

void CloseDisplay(Display* display) {
  if (!display) return;
  std::lock_guard<std::mutex> guard(XlibLock());
  XCloseDisplay(display);
  // Errors reported while closing still find the connection registered.
  Unregister(display);
}

int TakeErrors(Display* display) {
  std::lock_guard<std::mutex> guard(gRegistryLock);
  for (Counted& counted : gDisplays) {
    if (counted.display == display) {
      const int errors = counted.errors;
      counted.errors = 0;
      return errors;
    }
  }
  return 0;
}

int SyncAndTakeErrors(Display* display) {
  XSync(display, False);
  return TakeErrors(display);
}

bool NextEvent(Display* display, XEvent& event, std::chrono::milliseconds timeout) {
  if (XEventsQueued(display, QueuedAfterFlush) == 0) {
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    const int ms = int(std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, 60000));
    if (poll(&fd, 1, ms) <= 0) return false;
    if (XEventsQueued(display, QueuedAfterReading) == 0) return false;
  }
  XNextEvent(display, &event);
  return true;
}

}  // namespace velmora::x11
