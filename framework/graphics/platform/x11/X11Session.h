#pragma once

#include <X11/Xlib.h>

#include <functional>

namespace velmora::x11 {

struct Atoms {
  Atom xdndAware, xdndProxy, xdndEnter, xdndPosition, xdndStatus, xdndLeave, xdndDrop, xdndFinished;
  Atom xdndSelection, xdndTypeList, xdndActionCopy;
  Atom targets, utf8String, text, textPlainUtf8;
  Atom windowType, windowTypePopupMenu;
};

// Interns every atom above in one round trip; false when the server refused.
bool InternAtoms(Display* display, Atoms& atoms);

// What a modal loop (popup menu, drag) borrows from the editor's window.
struct Session {
  Display* display = nullptr;
  Window window = 0;
  Window root = 0;
  int screen = 0;
  Visual* visual = nullptr;
  int depth = 0;
  Colormap colormap = 0;
  Atoms atoms{};
  Time lastTime = 0;  // of the last event seen, for grabs and selections
  // The editor's own handling of the events a loop does not take (exposures,
  // selection requests...); input events are dropped there while a loop runs.
  std::function<void(XEvent&)> forward;
  // False once the window is gone under the loop (destroyed by the host,
  // closed from another thread, or its server lost): the loop ends.
  std::function<bool()> alive;
};

}  // namespace velmora::x11
