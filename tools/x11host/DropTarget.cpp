#include "tools/x11host/DropTarget.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <cstdio>
#include <string>

namespace velmora::host {

namespace {

Atom A(Display* display, const char* name) { return XInternAtom(display, name, False); }

void Send(Display* display, Window to, Atom type, long l0, long l1, long l2 = 0, long l3 = 0, long l4 = 0) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = to;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  event.xclient.data.l[0] = l0;
  event.xclient.data.l[1] = l1;
  event.xclient.data.l[2] = l2;
  event.xclient.data.l[3] = l3;
  event.xclient.data.l[4] = l4;
  XSendEvent(display, to, False, NoEventMask, &event);
  XFlush(display);
}

}  // namespace

DropTarget::DropTarget(int x, int y, int width, int height) : width_(width), height_(height) {
  display_ = XOpenDisplay(nullptr);
  if (!display_) return;
  XSetWindowAttributes attributes{};
  attributes.background_pixel = 0x262624;
  attributes.event_mask = ExposureMask;
  const Window window = XCreateWindow(display_, DefaultRootWindow(display_), x, y, unsigned(width), unsigned(height), 0,
                                      CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask,
                                      &attributes);
  const long version = 5;
  XChangeProperty(display_, window, A(display_, "XdndAware"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&version), 1);
  XStoreName(display_, window, "drop target");
  XMapRaised(display_, window);
  XSync(display_, False);
  window_ = window;
  thread_ = std::thread([this] { loop(); });
}

DropTarget::~DropTarget() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (display_) XCloseDisplay(display_);
}

void DropTarget::loop() {
  while (!stop_) {
    if (XPending(display_) == 0) {
      pollfd fd{ConnectionNumber(display_), POLLIN, 0};
      poll(&fd, 1, 20);
      continue;
    }
    XEvent event;
    XNextEvent(display_, &event);
    handle(&event);
  }
}

// An empty lane between bar lines, every 64 pixels.
void DropTarget::draw() {
  GC gc = XCreateGC(display_, window_, 0, nullptr);
  XSetForeground(display_, gc, 0x31312e);
  XFillRectangle(display_, window_, gc, 0, height_ / 3, unsigned(width_), unsigned(height_ / 3));
  XSetForeground(display_, gc, 0x3c3c38);
  for (int x = 16; x < width_; x += 64) XDrawLine(display_, window_, gc, x, 0, x, height_);
  XFreeGC(display_, gc);
  XFlush(display_);
}

void DropTarget::handle(void* raw) {
  XEvent& event = *static_cast<XEvent*>(raw);
  Display* d = display_;
  if (event.type == Expose && event.xexpose.count == 0) return draw();
  if (event.type == SelectionNotify) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (event.xselection.property &&
        XGetWindowProperty(d, window_, event.xselection.property, 0, 1 << 16, True, AnyPropertyType, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
      std::printf("dropped: %.*s", int(count), reinterpret_cast<const char*>(data));
      std::fflush(stdout);
      XFree(data);
    }
    Send(d, source_, A(d, "XdndFinished"), long(window_), 1, long(A(d, "XdndActionCopy")));
    return;
  }
  if (event.type != ClientMessage) return;
  const XClientMessageEvent& m = event.xclient;
  if (m.message_type == A(d, "XdndEnter")) {
    source_ = Window(m.data.l[0]);
  } else if (m.message_type == A(d, "XdndPosition")) {
    Send(d, Window(m.data.l[0]), A(d, "XdndStatus"), long(window_), 1, 0, 0, long(A(d, "XdndActionCopy")));
  } else if (m.message_type == A(d, "XdndDrop")) {
    XConvertSelection(d, A(d, "XdndSelection"), A(d, "text/uri-list"), A(d, "VELMORA_DROP"), window_,
                      Time(m.data.l[2]));
    XFlush(d);
  }
}

}  // namespace velmora::host
