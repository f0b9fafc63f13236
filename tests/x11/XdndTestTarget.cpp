#include "XdndTestTarget.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>

namespace velmora::test {

namespace {

Atom A(Display* display, const char* name) { return XInternAtom(display, name, False); }

void SendClient(Display* display, Window to, Atom type, long l0, long l1, long l2 = 0, long l3 = 0, long l4 = 0) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.display = display;
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

std::string AtomName(Display* display, Atom atom) {
  char* name = atom ? XGetAtomName(display, atom) : nullptr;
  std::string text = name ? name : "";
  if (name) XFree(name);
  return text;
}

}  // namespace

XdndTestTarget::XdndTestTarget(const Options& options) : mOptions(options) {
  mDisplay = XOpenDisplay(nullptr);
  if (!mDisplay) return;
  const Window root = DefaultRootWindow(mDisplay);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = WhitePixel(mDisplay, DefaultScreen(mDisplay));
  attributes.event_mask = StructureNotifyMask | PropertyChangeMask;
  mWindow = XCreateWindow(mDisplay, root, options.x, options.y, unsigned(options.width), unsigned(options.height), 0,
                          CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  const long version = 5;
  if (options.throughProxy) {
    // An unmapped proxy that names itself, as the protocol asks of proxies.
    mProxyDisplay = XOpenDisplay(nullptr);
    mProxy = XCreateSimpleWindow(mProxyDisplay, DefaultRootWindow(mProxyDisplay), 0, 0, 1, 1, 0, 0, 0);
    XChangeProperty(mProxyDisplay, mProxy, A(mProxyDisplay, "XdndProxy"), XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&mProxy), 1);
    XChangeProperty(mProxyDisplay, mProxy, A(mProxyDisplay, "XdndAware"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&version), 1);
    XSync(mProxyDisplay, False);
    XChangeProperty(mDisplay, mWindow, A(mDisplay, "XdndProxy"), XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&mProxy), 1);
  } else {
    XChangeProperty(mDisplay, mWindow, A(mDisplay, "XdndAware"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&version), 1);
  }
  XMapRaised(mDisplay, mWindow);
  XSync(mDisplay, False);
  XEvent event;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < deadline) {
    if (XCheckTypedWindowEvent(mDisplay, mWindow, MapNotify, &event)) {
      mReady = true;
      break;
    }
    pollfd fd{ConnectionNumber(mDisplay), POLLIN, 0};
    poll(&fd, 1, 20);
  }
  mThread = std::thread([this] { Loop(); });
}

XdndTestTarget::~XdndTestTarget() {
  mStop = true;
  if (mThread.joinable()) mThread.join();
  if (mProxyDisplay) XCloseDisplay(mProxyDisplay);
  if (mDisplay) XCloseDisplay(mDisplay);
}

XdndTestTarget::Seen XdndTestTarget::Snapshot() const {
  std::lock_guard<std::mutex> guard(mLock);
  return mSeen;
}

void XdndTestTarget::Loop() {
  while (!mStop) {
    bool any = false;
    for (Display* display : {mDisplay, mProxyDisplay}) {
      if (!display || XPending(display) == 0) continue;
      XEvent event;
      XNextEvent(display, &event);
      Handle(&event, display == mProxyDisplay);
      any = true;
    }
    if (!any) {
      pollfd fds[2] = {{ConnectionNumber(mDisplay), POLLIN, 0},
                       {mProxyDisplay ? ConnectionNumber(mProxyDisplay) : -1, POLLIN, 0}};
      poll(fds, 2, 20);
    }
  }
}

void XdndTestTarget::Handle(void* raw, bool viaProxy) {
  XEvent& event = *static_cast<XEvent*>(raw);
  Display* d = mDisplay;
  std::lock_guard<std::mutex> guard(mLock);
  if (event.type == SelectionNotify) {
    if (event.xselection.property) {
      Atom type = 0;
      int format = 0;
      unsigned long count = 0, after = 0;
      unsigned char* data = nullptr;
      XGetWindowProperty(d, mWindow, event.xselection.property, 0, 1 << 16, True, AnyPropertyType, &type, &format,
                         &count, &after, &data);
      if (data) {
        mSeen.data.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
      }
    }
    SendClient(d, mSource, A(d, "XdndFinished"), long(mWindow), mSeen.data.empty() ? 0 : 1,
               mSeen.data.empty() ? 0 : long(A(d, "XdndActionCopy")));
    mSeen.finished = true;
    ++mSeen.finishes;
    return;
  }
  if (event.type != ClientMessage) return;
  const XClientMessageEvent& m = event.xclient;
  // The target is named even when its proxy receives.
  if (m.window != mWindow || viaProxy != (mProxy != 0)) ++mSeen.misaddressed;
  const Atom type = m.message_type;
  if (type == A(d, "XdndEnter")) {
    ++mSeen.enters;
    mSource = Window(m.data.l[0]);
    mSeen.version = m.data.l[1] >> 24;
    mSeen.types.clear();
    if (m.data.l[1] & 1) {
      Atom actual = 0;
      int format = 0;
      unsigned long count = 0, after = 0;
      unsigned char* data = nullptr;
      XGetWindowProperty(d, mSource, A(d, "XdndTypeList"), 0, 64, False, XA_ATOM, &actual, &format, &count, &after,
                         &data);
      for (unsigned long i = 0; data && i < count; ++i) {
        mSeen.types.push_back(AtomName(d, Atom(reinterpret_cast<unsigned long*>(data)[i])));
      }
      if (data) XFree(data);
    } else {
      for (int i = 2; i < 5; ++i) {
        if (m.data.l[i]) mSeen.types.push_back(AtomName(d, Atom(m.data.l[i])));
      }
    }
  } else if (type == A(d, "XdndPosition")) {
    ++mSeen.positions;
    bool offered = false;
    for (const std::string& t : mSeen.types) offered = offered || t == mOptions.accepts;
    const bool accept = offered && mSeen.positions > mOptions.refuseFirst;
    SendClient(d, Window(m.data.l[0]), A(d, "XdndStatus"), long(mWindow), accept ? 1 : 0, 0, 0,
               accept ? long(A(d, "XdndActionCopy")) : 0);
  } else if (type == A(d, "XdndLeave")) {
    ++mSeen.leaves;
  } else if (type == A(d, "XdndDrop")) {
    ++mSeen.drops;
    XConvertSelection(d, A(d, "XdndSelection"), A(d, mOptions.accepts.c_str()), A(d, "VELMORA_DROP"), mWindow,
                      Time(m.data.l[2]));
    XFlush(d);
  }
}

}  // namespace velmora::test
