#include "framework/graphics/platform/x11/IGraphicsX11.h"
// Before Xlib, whose macros (Bool, None) would break it.
#include "framework/plugin/IPluginBase.h"

#include <dlfcn.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>

#include "framework/plugin/AppDataFolder.h"
#include "framework/graphics/platform/x11/ChildProcess.h"
#include "framework/graphics/platform/x11/X11Display.h"
#include "framework/graphics/platform/x11/X11Image.h"
#include "framework/graphics/platform/x11/X11Input.h"
#include "framework/graphics/platform/x11/X11PopupMenu.h"
#include "framework/graphics/platform/x11/X11Scale.h"
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

unsigned PointerButtons(const x11::Session& s) {
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned mask = 0;
  return XQueryPointer(s.display, s.window, &root, &child, &rootX, &rootY, &x, &y, &mask) ? mask : 0;
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
  std::atomic<bool> windowGone{false};  // the host destroyed it under us
  bool hovering = false;
  bool invalidateAll = false;
  bool needsOpening = false;  // opened while another thread pumped: the pump finishes the opening
  bool inert = false;         // the server is gone and the editor let go of its press
  std::atomic<bool> closing{false};  // closed while a pump ran: its loops end, then the window goes
  x11::RedrawCadence cadence;
  int width = 0, height = 0;  // the window's, in physical pixels
  int systemScale = 0;        // as the window's server says

  explicit State(int fps) : cadence(std::chrono::milliseconds(1000 / std::max(fps, 1))) {}
  State(const State&) = delete;
  State& operator=(const State&) = delete;

  // The last owner lets go of the window, under the pump.
  ~State() {
    Display* display = session.display;
    if (!display) return;
    const bool lost = x11::IsLost(display);
    if (!lost) Ungrab(CurrentTime);
    image.Destroy();
    if (!lost && session.window && !windowGone) XDestroyWindow(display, session.window);
    if (!lost && ownColormap) XFreeColormap(display, session.colormap);
    // Closing frees whatever the server still holds for us.
    x11::CloseDisplay(display);
    x11::ReapChildren();
  }

  bool Lost() const { return x11::IsLost(session.display); }
  bool Usable() const { return !windowGone && !closing && !Lost(); }

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

// The pump's hold on the editor: X calls of this editor come from here only.
class IGraphicsX11::PumpScope {
 public:
  PumpScope(IGraphicsX11& editor, State* state) : mEditor(editor), mPrevious(editor.mActive) {
    ++mEditor.mPumpDepth;
    mEditor.mActive = state;
  }
  ~PumpScope() {
    mEditor.mActive = mPrevious;
    --mEditor.mPumpDepth;
  }
  PumpScope(const PumpScope&) = delete;
  PumpScope& operator=(const PumpScope&) = delete;

 private:
  IGraphicsX11& mEditor;
  State* mPrevious;
};

// The desktop's scale is known before the host asks for the size; the
// window's own server is asked again when it opens.
IGraphicsX11::IGraphicsX11(IPluginBase* plugin, int width, int height, int fps)
    : IGraphics(plugin, width, height, fps) {
  SetSystemScale(x11::DefaultDisplayScale());
}

IGraphicsX11::~IGraphicsX11() { Shutdown(); }

std::shared_ptr<IGraphicsX11::State> IGraphicsX11::CurrentState() const {
  std::lock_guard<std::mutex> guard(mStateLock);
  return mState;
}

std::shared_ptr<IGraphicsX11::State> IGraphicsX11::MakeState(unsigned long parentWindow) {
  auto state = std::make_shared<State>(FPS());
  x11::Session& s = state->session;
  // A host without $DISPLAY may hand over its own connection: we join its server.
  const char* env = std::getenv("DISPLAY");
  const std::string hostName = env && *env ? std::string() : x11::ForeignDisplayName(mHostDisplay);
  s.display = x11::OpenDisplay(hostName.empty() ? nullptr : hostName.c_str());
  if (!s.display) return nullptr;
  s.screen = DefaultScreen(s.display);
  s.root = RootWindow(s.display, s.screen);
  if (!x11::ChooseVisual(s.display, s.screen, &s.visual, &s.depth) || !x11::InternAtoms(s.display, s.atoms)) {
    return nullptr;  // the state's destructor closes the connection
  }
  // Whatever the parent uses (a 32-bit visual under compositors), ours is 24-bit; one other than the
  // default needs a colormap of its own.
  if (s.visual == DefaultVisual(s.display, s.screen)) {
    s.colormap = DefaultColormap(s.display, s.screen);
  } else {
    s.colormap = XCreateColormap(s.display, s.root, s.visual, AllocNone);
    state->ownColormap = true;
  }
  const int width = Width(), height = Height();
  XSetWindowAttributes attributes{};
  attributes.background_pixel = 0;
  attributes.border_pixel = 0;
  attributes.colormap = s.colormap;
  // No key events: unselected, they reach the host's window, whose shortcuts keep working.
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | LeaveWindowMask |
                          StructureNotifyMask;
  s.window = XCreateWindow(s.display, parentWindow, 0, 0, unsigned(width), unsigned(height), 0, s.depth,
                           InputOutput, s.visual, CWBackPixel | CWBorderPixel | CWColormap | CWEventMask,
                           &attributes);
  // A bad parent id shows here, not as a null window.
  if (x11::SyncAndTakeErrors(s.display) != 0 || !s.window) {
    state->windowGone = true;  // nothing to destroy
    return nullptr;
  }
  if (!state->image.Create(s.display, s.window, s.visual, s.depth, width, height)) return nullptr;
  state->width = width;
  state->height = height;
  state->systemScale = x11::SystemScale(s.display);
  // XEmbed hosts read this from the child they see created (some refuse one
  // without it, or with the "mapped" flag); we map the window ourselves.
  const Atom xembedInfo = XInternAtom(s.display, "_XEMBED_INFO", False);
  const long xembedVersionAndFlags[2] = {0, 0};
  XChangeProperty(s.display, s.window, xembedInfo, xembedInfo, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(xembedVersionAndFlags), 2);
  XMapWindow(s.display, s.window);
  XFlush(s.display);

  State* raw = state.get();
  s.forward = [this, raw](XEvent& event) { HandleEvent(*raw, event); };
  s.alive = [raw] { return raw->Usable(); };
  return state;
}

void* IGraphicsX11::OpenWindow(void* parent) {
  CloseWindow();
  const Window parentWindow = Window(reinterpret_cast<std::uintptr_t>(parent));
  if (!parentWindow || Width() <= 0 || Height() <= 0) return nullptr;
  // The new connection is ours alone until it is published, so no pump is needed to make it.
  std::shared_ptr<State> state = MakeState(parentWindow);
  if (!state) return nullptr;
  const Window window = state->session.window;
  const int systemScale = state->systemScale;
  std::unique_lock<std::recursive_mutex> pump(mPump, std::try_to_lock);
  bool ours = pump.owns_lock() && mPumpDepth == 0;
  {
    std::lock_guard<std::mutex> guard(mStateLock);
    ours = ours && !mPumping;
    // Else the pump at work (or the next one) finishes the opening.
    state->needsOpening = !ours;
    mState = std::move(state);
  }
  if (ours) OnWindowOpening();
  // A server other than $DISPLAY's may ask another scale: the host is asked for it.
  if (systemScale != 0) SetSystemScale(systemScale);
  return reinterpret_cast<void*>(std::uintptr_t(window));
}

void IGraphicsX11::CloseWindow() {
  std::unique_lock<std::recursive_mutex> pump(mPump, std::try_to_lock);
  std::shared_ptr<State> state;
  bool pumping = false;
  {
    std::lock_guard<std::mutex> guard(mStateLock);
    state = std::move(mState);
    pumping = mPumping || (pump.owns_lock() && mPumpDepth > 0);
  }
  if (!state) return;
  OnWindowClosed();
  if (pumping) {
    // A pump works on it (a menu, a drag, or a host calling us back from
    // inside it): its loops see this and end, and it lets the window go after them.
    state->closing = true;
    return;
  }
  // No pump at work on it; one still holding the lock is on its way out and touches nothing more.
  AbandonPress();
  state.reset();
}

void IGraphicsX11::Shutdown() {
  CloseWindow();
  // Until the pump that still holds a closed window has let go of it.
  std::lock_guard<std::recursive_mutex> wait(mPump);
}

bool IGraphicsX11::WindowIsOpen() {
  const std::shared_ptr<State> state = CurrentState();
  return state && state->Usable();
}

void* IGraphicsX11::WindowHandle() {
  const std::shared_ptr<State> state = CurrentState();
  return state ? reinterpret_cast<void*>(std::uintptr_t(state->session.window)) : nullptr;
}

int IGraphicsX11::EventDescriptor() const {
  const std::shared_ptr<State> state = CurrentState();
  // A lost connection has nothing more to say.
  return state && state->Usable() ? ConnectionNumber(state->session.display) : -1;
}

bool IGraphicsX11::UsesSharedMemory() const {
  const std::shared_ptr<State> state = CurrentState();
  return state && state->image.UsesSharedMemory();
}

void IGraphicsX11::TakeOwnership() {
  if (OnOwnerThread()) return;
  // Under the plug-in lock, so that a host thread posting a value sees either owner, never half a change.
  if (IPluginBase* plugin = GetPlugin()) {
    auto lock = plugin->Lock();
    SetOwnerThread(std::this_thread::get_id());
  } else {
    SetOwnerThread(std::this_thread::get_id());
  }
}

void IGraphicsX11::Idle() {
  x11::ReapChildren();
  std::unique_lock<std::recursive_mutex> pump(mPump, std::try_to_lock);
  // Busy on another thread, or called back from inside our own pump.
  if (!pump.owns_lock() || mPumpDepth > 0) return;
  std::shared_ptr<State> state;
  {
    std::lock_guard<std::mutex> guard(mStateLock);
    state = mState;
    mPumping = state != nullptr;
  }
  if (!state) return;
  {
    PumpScope scope(*this, state.get());
    TakeOwnership();
    Pump(*state);
  }
  bool closed = false;
  {
    std::lock_guard<std::mutex> guard(mStateLock);
    mPumping = false;
    closed = mState != state;
  }
  // Closed while we pumped: the press in progress gets no release now.
  if (closed) AbandonPress();
}

void IGraphicsX11::Pump(State& st) {
  if (st.closing) return;
  if (st.Lost()) {
    if (!st.inert) AbandonPress();
    st.inert = true;
    return;
  }
  if (st.needsOpening) {
    st.needsOpening = false;
    OnWindowOpening();
  }
  Display* display = st.session.display;
  for (int handled = 0; handled < kMaxEventsPerIdle && !st.closing && !st.Lost() && XPending(display) > 0;
       ++handled) {
    XEvent event;
    XNextEvent(display, &event);
    HandleEvent(st, event);
  }
  if (st.closing || st.Lost()) return;
  if (st.cadence.Due(Clock::now())) RedrawStep(st);
  if (!st.Lost()) XFlush(display);
}

void IGraphicsX11::RedrawStep(State& st) {
  if (st.windowGone) return;
  FitWindow(st);
  if (!st.invalidateAll) {
    OnTimerTick();
    return;
  }
  st.invalidateAll = false;
  UpdateSurfaces();
  DrainParamValues(false);
  DrawArea(Rect(0, 0, LayoutWidth(), LayoutHeight()));
}

// After a change of scale the host gave room for: the window and its
// picture take the editor's new size.
void IGraphicsX11::FitWindow(State& st) {
  const int width = Width(), height = Height();
  if (width == st.width && height == st.height) return;
  x11::Session& s = st.session;
  XResizeWindow(s.display, s.window, unsigned(width), unsigned(height));
  st.image.Destroy();
  st.image.Create(s.display, s.window, s.visual, s.depth, width, height);
  st.width = width;
  st.height = height;
  st.invalidateAll = true;
}

void IGraphicsX11::PaintToWindow(const Rect& rect) {
  if (!mActive || !mActive->Usable() || !DrawingSurface()) return;
  mActive->image.Put(*DrawingSurface(), rect);
}

void IGraphicsX11::HandleEvent(State& st, XEvent& event) {
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
      if (event.xdestroywindow.window == s.window) {
        st.windowGone = true;
        // The press on it (a knob being dragged) will get no release.
        AbandonPress();
      }
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
      // Grabbed before the handler, as for a press: a menu it opens takes
      // over from a grab that already stands, never from one made after it.
      st.Grab(b.time);
      if (st.clicks.Press(b.button, b.time, b.x, b.y)) {
        OnMouseDoubleClick(b.x, b.y, mods);
      } else {
        OnMouseDown(b.x, b.y, mods);
      }
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

// Menus and drags run inside the pump: only its thread may start one, and
// the window they use lives until they return, whatever another thread closes.
PopupMenu* IGraphicsX11::ShowPopupMenu(PopupMenu& menu, const Rect& rect) {
  ReleaseMouseCapture();
  std::unique_lock<std::recursive_mutex> pump(mPump, std::try_to_lock);
  if (!pump.owns_lock()) return nullptr;
  const std::shared_ptr<State> state = CurrentState();
  if (!state || !state->Usable() || state->modal) return nullptr;
  PumpScope scope(*this, state.get());
  state->modal = true;
  PopupMenu* chosen = x11::RunPopupMenu(state->session, menu, ToPhysical(rect), Height(), DrawScale());
  state->AfterModal();
  state->invalidateAll = true;
  // A close during the menu wins over its choice.
  return state->Usable() ? chosen : nullptr;
}

bool IGraphicsX11::StartDrag(const std::vector<DragData>& offer) {
  const DragOutcome outcome = RunDrag(offer, false);
  if (outcome == DragOutcome::kNotStarted) return false;
  // The drag took the release; no control holds the mouse any more.
  ReleaseMouseCapture();
  return outcome == DragOutcome::kDropped;
}

DragOutcome IGraphicsX11::StartDragOut(const std::vector<DragData>& offer, bool backInWindow) {
  const DragOutcome outcome = RunDrag(offer, backInWindow);
  if (outcome == DragOutcome::kBackInWindow) {
    // The press goes on here, grabbed again while the button is held. A
    // release the drag saw is back in the queue and needs no grab: one made
    // after it would outlast its ungrab.
    const std::shared_ptr<State> state = CurrentState();
    if (state && state->Usable() && (PointerButtons(state->session) & kButtonsHeld)) state->Grab(CurrentTime);
  } else if (outcome != DragOutcome::kNotStarted) {
    AbandonPress();
  }
  return outcome;
}

DragOutcome IGraphicsX11::RunDrag(const std::vector<DragData>& offer, bool backInWindow) {
  std::unique_lock<std::recursive_mutex> pump(mPump, std::try_to_lock);
  if (!pump.owns_lock()) return DragOutcome::kNotStarted;
  const std::shared_ptr<State> state = CurrentState();
  if (!state || !state->Usable() || state->modal) return DragOutcome::kNotStarted;
  PumpScope scope(*this, state.get());
  // A chord carried out: its label, which stays inside, goes before the loop takes over.
  if (backInWindow) RedrawStep(*state);
  state->modal = true;
  const DragOutcome outcome = x11::RunXdndDrag(state->session, offer, backInWindow);
  state->AfterModal();
  return outcome;
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
