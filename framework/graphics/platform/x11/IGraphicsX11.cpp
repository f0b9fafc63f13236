#include "framework/graphics/platform/x11/IGraphicsX11.h"

#include <dlfcn.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>

#include "framework/plugin/AppDataFolder.h"
#include "framework/graphics/platform/x11/ChildProcess.h"
#include "framework/graphics/platform/x11/X11Display.h"
#include "framework/graphics/platform/x11/X11Image.h"
#include "framework/graphics/platform/x11/X11Input.h"
#include "framework/graphics/platform/x11/X11PopupMenu.h"
#include "framework/graphics/platform/x11/X11Session.h"
#include "framework/graphics/platform/x11/XdndSource.h"

namespace velmora {

static_assert(x11::kShiftBit == ShiftMask && x11::kControlBit == ControlMask && x11::kAltBit == Mod1Mask &&
                  x11::kButton1Bit == Button1Mask && x11::kButton2Bit == Button2Mask &&
                  x11::kButton3Bit == Button3Mask,
              "the input helpers read X's state bits");

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned kButtonsHeld = Button1Mask | Button2Mask | Button3Mask;
// Enough to drain any burst between two idle calls without starving the redraw.
constexpr int kMaxEventsPerIdle = 1000;

// The folder part of a path with its last slash; empty without one or for a folder path.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash + 1 == path.size()) return std::string();
  return path.substr(0, slash + 1);
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// XDG's first system data folder, where data for all users goes.
std::string SharedDataFolder() {
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  if (dirs && dirs[0] == '/') {
    const std::string list(dirs);
    return WithoutTrailingSlashes(list.substr(0, list.find(':')));
  }
  return "/usr/local/share";
}

}  // namespace

struct IGraphicsX11::State {
  x11::Session session;
  bool ownColormap = false;
  x11::WindowImage image;
  x11::ClickTracker clicks;
  bool grabbed = false;
  bool modal = false;       // a popup menu or a drag runs its own loop
  bool windowGone = false;  // the host destroyed it under us
  bool hovering = false;
  bool invalidateAll = false;
  x11::RedrawCadence cadence;

  explicit State(int fps) : cadence(std::chrono::milliseconds(1000 / std::max(fps, 1))) {}

  // Drags that leave the window still reach the control that was pressed.
  void Grab(Time time) {
    grabbed = XGrabPointer(session.display, session.window, False,
                           ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync, GrabModeAsync, 0,
                           0, time) == GrabSuccess;
  }
  void Ungrab(Time time) {
    if (grabbed) XUngrabPointer(session.display, time);
    grabbed = false;
  }
  // After a modal loop: its grab replaced ours, and it took the release.
  void AfterModal() {
    modal = false;
    grabbed = false;
    clicks.Reset();
  }
};

IGraphicsX11::IGraphicsX11(IPluginBase* plugin, int width, int height, int fps)
    : IGraphics(plugin, width, height, fps) {}

IGraphicsX11::~IGraphicsX11() { CloseWindow(); }

void* IGraphicsX11::OpenWindow(void* parent) {
  if (mState) CloseWindow();
  const Window parentWindow = Window(reinterpret_cast<std::uintptr_t>(parent));
  if (!parentWindow || Width() <= 0 || Height() <= 0) return nullptr;

  auto state = std::make_unique<State>(FPS());
  x11::Session& s = state->session;
  s.display = x11::OpenDisplay();
  if (!s.display) return nullptr;
  s.screen = DefaultScreen(s.display);
  s.root = RootWindow(s.display, s.screen);
  if (!x11::ChooseVisual(s.display, s.screen, &s.visual, &s.depth) || !x11::InternAtoms(s.display, s.atoms)) {
    x11::CloseDisplay(s.display);
    return nullptr;
  }
  // Whatever the parent uses (a 32-bit visual under compositors), ours is 24-bit; one other than the
  // default needs a colormap of its own.
  if (s.visual == DefaultVisual(s.display, s.screen)) {
    s.colormap = DefaultColormap(s.display, s.screen);
  } else {
    s.colormap = XCreateColormap(s.display, s.root, s.visual, AllocNone);
    state->ownColormap = true;
  }
  XSetWindowAttributes attributes{};
  attributes.background_pixel = 0;
  attributes.border_pixel = 0;
  attributes.colormap = s.colormap;
  // No key events: unselected, they reach the host's window, whose shortcuts keep working.
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | LeaveWindowMask |
                          StructureNotifyMask;
  s.window = XCreateWindow(s.display, parentWindow, 0, 0, unsigned(Width()), unsigned(Height()), 0, s.depth,
                           InputOutput, s.visual, CWBackPixel | CWBorderPixel | CWColormap | CWEventMask,
                           &attributes);
  // A bad parent id shows here, not as a null window.
  const bool made = x11::SyncAndTakeErrors(s.display) == 0 && s.window &&
                    state->image.Create(s.display, s.window, s.visual, s.depth, Width(), Height());
  if (!made) {
    state->image.Destroy();
    if (s.window) XDestroyWindow(s.display, s.window);
    if (state->ownColormap) XFreeColormap(s.display, s.colormap);
    x11::CloseDisplay(s.display);
    return nullptr;
  }
  XMapWindow(s.display, s.window);
  XFlush(s.display);

  State* raw = state.get();
  s.forward = [this](XEvent& event) { HandleEvent(event); };
  s.alive = [raw] { return !raw->windowGone; };
  mState = std::move(state);
  OnWindowOpening();
  return reinterpret_cast<void*>(std::uintptr_t(s.window));
}

void IGraphicsX11::CloseWindow() {
  if (!mState) return;
  const std::unique_ptr<State> state = std::move(mState);
  x11::Session& s = state->session;
  state->Ungrab(CurrentTime);
  state->image.Destroy();
  if (!state->windowGone) XDestroyWindow(s.display, s.window);
  if (state->ownColormap) XFreeColormap(s.display, s.colormap);
  // Closing frees whatever the server still holds for us.
  x11::CloseDisplay(s.display);
  x11::ReapChildren();
}

bool IGraphicsX11::WindowIsOpen() { return mState && !mState->windowGone; }

void* IGraphicsX11::WindowHandle() {
  return mState ? reinterpret_cast<void*>(std::uintptr_t(mState->session.window)) : nullptr;
}

bool IGraphicsX11::UsesSharedMemory() const { return mState && mState->image.UsesSharedMemory(); }

void IGraphicsX11::Idle() {
  x11::ReapChildren();
  if (!mState || mState->modal || !OnOwnerThread()) return;
  Display* display = mState->session.display;
  for (int handled = 0; handled < kMaxEventsPerIdle && mState && XPending(display) > 0; ++handled) {
    XEvent event;
    XNextEvent(display, &event);
    HandleEvent(event);
  }
  if (!mState) return;
  if (mState->cadence.Due(Clock::now())) RedrawStep();
  XFlush(display);
}

void IGraphicsX11::RedrawStep() {
  if (mState->windowGone) return;
  if (!mState->invalidateAll) {
    OnTimerTick();
    return;
  }
  mState->invalidateAll = false;
  DrainParamValues(false);
  DrawArea(Rect(0, 0, Width(), Height()));
}

void IGraphicsX11::PaintToWindow(const Rect& rect) {
  if (!mState || mState->windowGone || !DrawingSurface()) return;
  mState->image.Put(*DrawingSurface(), rect);
}

void IGraphicsX11::HandleEvent(XEvent& event) {
  State& st = *mState;
  x11::Session& s = st.session;
  if (st.image.OnEvent(event)) return;
  const bool ours = event.xany.window == s.window;
  switch (event.type) {
    case Expose:
      if (ours && !st.image.HasBackground() && DrawingSurface()) {
        const XExposeEvent& e = event.xexpose;
        st.image.Put(*DrawingSurface(), Rect(e.x, e.y, e.x + e.width, e.y + e.height));
      }
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == s.window) st.windowGone = true;
      break;
    case SelectionRequest:
      x11::RefuseSelectionRequest(s.display, event.xselectionrequest);
      break;
    case ButtonPress: {
      if (!ours || st.modal) break;
      const XButtonEvent b = event.xbutton;
      s.lastTime = b.time;
      if (const int notches = x11::WheelNotches(b.button)) {
        OnMouseWheel(b.x, b.y, x11::MotionMods(b.state), float(notches));
        break;
      }
      if (b.button < 1 || b.button > 3) break;
      const MouseMods mods = x11::PressMods(b.state, b.button);
      if (st.clicks.Press(b.button, b.time, b.x, b.y)) {
        if (OnMouseDoubleClick(b.x, b.y, mods)) st.Grab(b.time);
        break;
      }
      st.Grab(b.time);
      OnMouseDown(b.x, b.y, mods);
      break;
    }
    case ButtonRelease: {
      if (!ours || st.modal) break;
      const XButtonEvent b = event.xbutton;
      if (b.button < 1 || b.button > 3) break;
      s.lastTime = b.time;
      if (!x11::OtherButtonsHeld(b.state, b.button)) st.Ungrab(b.time);
      OnMouseUp(b.x, b.y, x11::ReleaseMods(b.state, b.button));
      break;
    }
    case MotionNotify: {
      if (!ours || st.modal) break;
      // Only the newest of a run of moves matters: drags add up their steps themselves.
      XEvent next;
      while (XEventsQueued(s.display, QueuedAlready) > 0) {
        XPeekEvent(s.display, &next);
        if (next.type != MotionNotify || next.xmotion.window != s.window || next.xmotion.state != event.xmotion.state) {
          break;
        }
        XNextEvent(s.display, &event);
      }
      const XMotionEvent m = event.xmotion;
      s.lastTime = m.time;
      const MouseMods mods = x11::MotionMods(m.state);
      if (m.state & kButtonsHeld) {
        OnMouseDrag(m.x, m.y, mods);
      } else if (OnMouseOver(m.x, m.y, mods)) {
        st.hovering = true;
      }
      break;
    }
    case LeaveNotify:
      if (ours && !st.modal && st.hovering && event.xcrossing.mode == NotifyNormal &&
          !(event.xcrossing.state & kButtonsHeld)) {
        st.hovering = false;
        OnMouseOut();
      }
      break;
    default:
      break;
  }
}

PopupMenu* IGraphicsX11::ShowPopupMenu(PopupMenu& menu, const Rect& rect) {
  ReleaseMouseCapture();
  if (!mState || mState->windowGone || mState->modal || !OnOwnerThread()) return nullptr;
  State& st = *mState;
  st.modal = true;
  PopupMenu* chosen = x11::RunPopupMenu(st.session, menu, rect, Height());
  st.AfterModal();
  st.invalidateAll = true;
  return chosen;
}

bool IGraphicsX11::StartDrag(const std::vector<DragData>& offer) {
  if (!mState || mState->windowGone || mState->modal || !OnOwnerThread()) return false;
  State& st = *mState;
  st.modal = true;
  const bool dropped = x11::RunXdndDrag(st.session, offer);
  st.AfterModal();
  // The drag took the release; no control holds the mouse any more.
  ReleaseMouseCapture();
  return dropped;
}

bool IGraphicsX11::OpenUrl(const char* url, const char*, const char* confirmText, const char*) {
  x11::ReapChildren();
  if (!url || !*url || (confirmText && *confirmText)) return false;
  return x11::SpawnChild({"xdg-open", url});
}

void IGraphicsX11::HostPath(std::string& path) {
  char buffer[4096];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
  path = length > 0 && std::size_t(length) < sizeof buffer ? FolderOf(std::string(buffer, std::size_t(length)))
                                                            : std::string();
}

void IGraphicsX11::PluginPath(std::string& path) {
  Dl_info info{};
  path.clear();
  if (dladdr(reinterpret_cast<void*>(&FolderOf), &info) && info.dli_fname) path = FolderOf(info.dli_fname);
}

void IGraphicsX11::DesktopPath(std::string& path) {
  const char* home = std::getenv("HOME");
  path = home && home[0] == '/' ? WithoutTrailingSlashes(home) + "/Desktop" : std::string();
}

void IGraphicsX11::ApplicationDataFolder(std::string& path, bool allUsers) {
  path = allUsers ? SharedDataFolder() : velmora::ApplicationDataFolder();
}

}  // namespace velmora
