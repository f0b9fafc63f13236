#include "framework/graphics/platform/x11/XdndSource.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

#include <algorithm>
#include <string>

#include "framework/graphics/platform/x11/X11Display.h"
#include "framework/graphics/platform/x11/XdndProtocol.h"

namespace velmora::x11 {

namespace {

using Clock = XdndTiming::Clock;

struct Target {
  Window window = 0;  // named in the messages
  Window sendTo = 0;  // its proxy, or itself
  long version = 0;
};

struct Offered {
  Atom type;
  const std::string* bytes;
};

// One 32-bit property value of the given type; false when absent or unreadable.
bool ReadLong(Display* display, Window window, Atom property, Atom type, unsigned long& value) {
  Atom actualType = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const int status =
      XGetWindowProperty(display, window, property, 0, 1, False, type, &actualType, &format, &count, &after, &data);
  const bool ok = status == Success && actualType == type && format == 32 && count == 1 && data;
  if (ok) value = reinterpret_cast<unsigned long*>(data)[0];
  if (data) XFree(data);
  TakeErrors(display);  // a window that vanished meanwhile simply is no target
  return ok;
}

// The XDND version a window speaks, following XdndProxy (a proxy names itself in its own XdndProxy).
Target AwareTarget(Display* display, const Atoms& atoms, Window window) {
  Target target;
  target.window = window;
  target.sendTo = window;
  unsigned long proxy = 0, echo = 0;
  if (ReadLong(display, window, atoms.xdndProxy, XA_WINDOW, proxy) && proxy &&
      ReadLong(display, Window(proxy), atoms.xdndProxy, XA_WINDOW, echo) && echo == proxy) {
    target.sendTo = Window(proxy);
  }
  unsigned long version = 0;
  if (ReadLong(display, target.sendTo, atoms.xdndAware, XA_ATOM, version)) target.version = Xdnd::Negotiate(long(version));
  return target;
}

// The XDND-aware window under the root point: the top-level under it or, as
// window managers wrap clients in frames, a window further down.
Target FindTarget(Display* display, const Atoms& atoms, Window root, int x, int y) {
  Window window = root;
  for (int depth = 0; depth < 16; ++depth) {
    int cx = 0, cy = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display, root, window, x, y, &cx, &cy, &child) || !child) break;
    window = child;
    const Target target = AwareTarget(display, atoms, window);
    if (target.version > 0) return target;
  }
  TakeErrors(display);
  return Target();
}

void Send(Display* display, const Target& target, Atom type, long l0, long l1, long l2 = 0, long l3 = 0, long l4 = 0) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.display = display;
  event.xclient.window = target.window;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  event.xclient.data.l[0] = l0;
  event.xclient.data.l[1] = l1;
  event.xclient.data.l[2] = l2;
  event.xclient.data.l[3] = l3;
  event.xclient.data.l[4] = l4;
  XSendEvent(display, target.sendTo, False, NoEventMask, &event);
}

void Reply(Display* display, const XSelectionRequestEvent& request, Atom property) {
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = display;
  reply.xselection.requestor = request.requestor;
  reply.xselection.selection = request.selection;
  reply.xselection.target = request.target;
  reply.xselection.property = property;
  reply.xselection.time = request.time;
  XSendEvent(display, request.requestor, False, NoEventMask, &reply);
}

constexpr unsigned kPointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;

class Drag {
 public:
  Drag(Session& session, const std::vector<DragData>& offer, bool backInWindow)
      : mSession(session), mDisplay(session.display), mBackInWindow(backInWindow) {
    const Atoms& atoms = session.atoms;
    for (const DragData& data : offer) {
      if (data.type == DragData::kWindowsFileList) continue;  // no X11 target reads it
      const Atom type = XInternAtom(mDisplay, data.type.c_str(), False);
      if (std::none_of(mOffered.begin(), mOffered.end(), [type](const Offered& o) { return o.type == type; })) {
        mOffered.push_back(Offered{type, &data.bytes});
      }
    }
    // Plain-text targets ask under the older names too.
    for (const Offered& o : std::vector<Offered>(mOffered)) {
      if (o.type != XInternAtom(mDisplay, "text/plain", False)) continue;
      for (Atom alias : {atoms.textPlainUtf8, atoms.utf8String, Atom(XA_STRING), atoms.text}) mAliases.push_back({alias, o.bytes});
    }
  }

  DragOutcome Run() {
    if (mOffered.empty()) return DragOutcome::kNotStarted;
    const Atoms& atoms = mSession.atoms;
    const Window source = mSession.window;
    if (mBackInWindow && !SourceSize()) return DragOutcome::kNotStarted;
    if (mOffered.size() > 3) {
      std::vector<long> types;
      for (const Offered& o : mOffered) types.push_back(long(o.type));
      XChangeProperty(mDisplay, source, atoms.xdndTypeList, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(types.data()), int(types.size()));
    }
    XSetSelectionOwner(mDisplay, atoms.xdndSelection, source, mSession.lastTime);
    if (XGetSelectionOwner(mDisplay, atoms.xdndSelection) != source) return DragOutcome::kNotStarted;
    // The system's drag pointers: one that refuses until a target takes the offer.
    mRefusedCursor = XCreateFontCursor(mDisplay, XC_circle);
    mTakenCursor = XCreateFontCursor(mDisplay, XC_hand2);
    if (XGrabPointer(mDisplay, source, False, kPointerEvents, GrabModeAsync, GrabModeAsync, 0, mRefusedCursor,
                     CurrentTime) != GrabSuccess) {
      XSetSelectionOwner(mDisplay, atoms.xdndSelection, 0, CurrentTime);
      FreeCursors();
      return DragOutcome::kNotStarted;
    }
    XGrabKeyboard(mDisplay, source, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    mRunning = true;
    QueryPointer();
    mMoved = true;
    while (mRunning) {
      XEvent event;
      if (NextEvent(mDisplay, event, std::chrono::milliseconds(20))) Handle(event);
      if (mSession.alive && !mSession.alive()) {
        if (!IsLost(mDisplay)) Cancel();  // a target we entered hears that we left
        Finish(DragOutcome::kCancelled);
        break;
      }
      Step(Clock::now());
      if (mRunning) ShowAcceptance();
    }
    if (IsLost(mDisplay)) return DragOutcome::kCancelled;
    XUngrabKeyboard(mDisplay, CurrentTime);
    XUngrabPointer(mDisplay, CurrentTime);
    FreeCursors();
    XSetSelectionOwner(mDisplay, atoms.xdndSelection, 0, CurrentTime);
    if (mOffered.size() > 3) XDeleteProperty(mDisplay, source, atoms.xdndTypeList);
    XFlush(mDisplay);
    return mOutcome;
  }

 private:
  void Handle(XEvent& event) {
    const Atoms& atoms = mSession.atoms;
    switch (event.type) {
      case MotionNotify:
        mSession.lastTime = event.xmotion.time;
        mX = event.xmotion.x_root;
        mY = event.xmotion.y_root;
        mMoved = true;
        return;
      case ButtonRelease:
        if (event.xbutton.button > 3) return;
        mSession.lastTime = event.xbutton.time;
        mX = event.xbutton.x_root;
        mY = event.xbutton.y_root;
        if (!mReleased && OverSource()) return GoBack(&event);
        Release(Clock::now());
        return;
      case ButtonPress:
        mSession.lastTime = event.xbutton.time;
        return;
      case KeyPress:
        mSession.lastTime = event.xkey.time;
        if (XLookupKeysym(&event.xkey, 0) == XK_Escape) Cancel();
        return;
      case SelectionRequest:
        Answer(event.xselectionrequest);
        return;
      case ClientMessage: {
        const XClientMessageEvent& m = event.xclient;
        const Window from = Window(m.data.l[0]);
        const bool fromTarget = mTarget.window && (from == mTarget.window || from == mTarget.sendTo);
        if (m.message_type == atoms.xdndStatus && fromTarget && !mDropSent) {
          mAwaitingStatus = false;
          mAccepted = (m.data.l[1] & 1) != 0;
          if (mPositionChanged) SendPosition(Clock::now());
        } else if (m.message_type == atoms.xdndFinished && fromTarget && mDropSent) {
          Finish(DragOutcome::kDropped);
        } else if (mSession.forward) {
          mSession.forward(event);
        }
        return;
      }
      default:
        if (mSession.forward) mSession.forward(event);
        return;
    }
  }

  void Step(Clock::time_point now) {
    if (!mRunning) return;
    if (mDropSent) {
      if (now - mDropSentAt >= XdndTiming::kFinishTimeout) Finish(DragOutcome::kDropped);
      return;
    }
    if (mMoved && !mReleased) {
      mMoved = false;
      if (OverSource()) return GoBack(nullptr);
      Follow(now);
    }
    if (mEntered) {
      if (mAwaitingStatus && now - mLastSent >= XdndTiming::kStatusTimeout) mAwaitingStatus = false;
      if (mReleased && !mAccepted && !mAwaitingStatus && XdndTiming::GiveUp(mEnteredAt, mReleasedAt, now)) {
        Cancel();
        return;
      }
      if (!mAwaitingStatus && (mPositionChanged || XdndTiming::Repeat(mAccepted, mLastSent, now))) SendPosition(now);
    }
    if (mReleased) {
      if (!mEntered) {
        Finish(DragOutcome::kCancelled);
      } else if (mAccepted && !mAwaitingStatus) {
        Send(mDisplay, mTarget, mSession.atoms.xdndDrop, long(mSession.window), 0, long(mReleaseTime));
        mDropSent = true;
        mDropSentAt = now;
      }
      return;
    }
    // A grab broken by someone else would swallow the release; ask for the buttons now and then.
    if (now - mButtonsCheckedAt >= std::chrono::milliseconds(250)) {
      mButtonsCheckedAt = now;
      if ((QueryPointer() & (Button1Mask | Button2Mask | Button3Mask)) != 0) return;
      if (OverSource()) return GoBack(nullptr, true);
      Release(now);
    }
  }

  bool SourceSize() {
    Window root = 0;
    int x = 0, y = 0;
    unsigned border = 0, depth = 0;
    const bool ok = XGetGeometry(mDisplay, mSession.window, &root, &x, &y, &mSourceWidth, &mSourceHeight, &border,
                                 &depth) != 0;
    TakeErrors(mDisplay);
    return ok;
  }

  // Whether the pointer is over the editor's own window, where a drag that
  // may go back goes back.
  bool OverSource() const {
    if (!mBackInWindow) return false;
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(mDisplay, mSession.root, mSession.window, mX, mY, &x, &y, &child)) return false;
    return x >= 0 && y >= 0 && unsigned(x) < mSourceWidth && unsigned(y) < mSourceHeight;
  }

  // Ends the drag over the editor's window. The release that ended it there
  // (received, or seen only in the pointer's state) goes back to the window.
  void GoBack(XEvent* release, bool releasedUnseen = false) {
    Leave();
    XEvent unseen{};
    if (!release && releasedUnseen) {
      unseen.xbutton.type = ButtonRelease;
      unseen.xbutton.display = mDisplay;
      unseen.xbutton.window = mSession.window;
      unseen.xbutton.root = mSession.root;
      unseen.xbutton.time = mSession.lastTime;
      unseen.xbutton.x_root = mX;
      unseen.xbutton.y_root = mY;
      Window child = 0;
      XTranslateCoordinates(mDisplay, mSession.root, mSession.window, mX, mY, &unseen.xbutton.x, &unseen.xbutton.y,
                            &child);
      unseen.xbutton.state = Button1Mask;
      unseen.xbutton.button = Button1;
      unseen.xbutton.same_screen = True;
      release = &unseen;
    }
    if (release) XPutBackEvent(mDisplay, release);
    Finish(DragOutcome::kBackInWindow);
  }

  // The pointer says whether the target under it takes the offer.
  void ShowAcceptance() {
    const bool taken = mEntered && mAccepted;
    if (taken == mShownTaken) return;
    mShownTaken = taken;
    XChangeActivePointerGrab(mDisplay, kPointerEvents, taken ? mTakenCursor : mRefusedCursor, CurrentTime);
  }

  void FreeCursors() {
    for (Cursor* cursor : {&mRefusedCursor, &mTakenCursor}) {
      if (*cursor) XFreeCursor(mDisplay, *cursor);
      *cursor = 0;
    }
  }

  void Follow(Clock::time_point now) {
    const Target target = FindTarget(mDisplay, mSession.atoms, mSession.root, mX, mY);
    if (target.window != mTarget.window || target.sendTo != mTarget.sendTo) {
      Leave();
      mTarget = target;
      if (mTarget.version > 0) {
        std::vector<long> inline3(3, 0);
        for (std::size_t i = 0; i < mOffered.size() && i < 3; ++i) inline3[i] = long(mOffered[i].type);
        Send(mDisplay, mTarget, mSession.atoms.xdndEnter, long(mSession.window),
             Xdnd::EnterFlags(mTarget.version, int(mOffered.size())), inline3[0], inline3[1], inline3[2]);
        mEntered = true;
        mEnteredAt = now;
      }
    }
    mPositionChanged = mEntered;
  }

  void SendPosition(Clock::time_point now) {
    Send(mDisplay, mTarget, mSession.atoms.xdndPosition, long(mSession.window), 0, Xdnd::PackPoint(mX, mY),
         long(mSession.lastTime), long(mSession.atoms.xdndActionCopy));
    mAwaitingStatus = true;
    mPositionChanged = false;
    mLastSent = now;
  }

  void Leave() {
    if (mEntered) Send(mDisplay, mTarget, mSession.atoms.xdndLeave, long(mSession.window), 0);
    mEntered = mAccepted = mAwaitingStatus = mPositionChanged = false;
    mTarget = Target();
  }

  void Release(Clock::time_point now) {
    if (mReleased) return;
    mReleased = true;
    mReleasedAt = now;
    mReleaseTime = mSession.lastTime;
    // The last motion may not have been followed yet.
    if (mMoved) {
      mMoved = false;
      Follow(now);
    }
  }

  void Cancel() {
    if (!mRunning || mDropSent) return;
    Leave();
    Finish(DragOutcome::kCancelled);
  }

  void Finish(DragOutcome outcome) {
    mOutcome = outcome;
    mRunning = false;
  }

  unsigned QueryPointer() {
    Window rootReturn = 0, child = 0;
    int wx = 0, wy = 0;
    unsigned mask = 0;
    if (XQueryPointer(mDisplay, mSession.root, &rootReturn, &child, &mX, &mY, &wx, &wy, &mask)) return mask;
    return 0;
  }

  void Answer(const XSelectionRequestEvent& request) {
    const Atoms& atoms = mSession.atoms;
    const Atom property = request.property ? request.property : request.target;
    if (request.selection != atoms.xdndSelection) return Reply(mDisplay, request, 0);
    if (request.target == atoms.targets) {
      std::vector<long> types{long(atoms.targets)};
      for (const Offered& o : mOffered) types.push_back(long(o.type));
      for (const Offered& o : mAliases) types.push_back(long(o.type));
      XChangeProperty(mDisplay, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(types.data()), int(types.size()));
      return Reply(mDisplay, request, property);
    }
    for (const std::vector<Offered>* list : {&mOffered, &mAliases}) {
      for (const Offered& o : *list) {
        if (o.type != request.target) continue;
        // Larger answers would need the incremental transfer; a file's URI never does. (The
        // limit counts 4-byte units; half of it leaves room for the request.)
        if (o.bytes->size() > std::size_t(XMaxRequestSize(mDisplay)) * 2) return Reply(mDisplay, request, 0);
        XChangeProperty(mDisplay, request.requestor, property, request.target, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(o.bytes->data()), int(o.bytes->size()));
        return Reply(mDisplay, request, property);
      }
    }
    Reply(mDisplay, request, 0);
  }

  Session& mSession;
  Display* mDisplay;
  const bool mBackInWindow;
  unsigned mSourceWidth = 0, mSourceHeight = 0;
  Cursor mRefusedCursor = 0, mTakenCursor = 0;
  bool mShownTaken = false;
  std::vector<Offered> mOffered;
  std::vector<Offered> mAliases;
  Target mTarget;
  int mX = 0, mY = 0;
  bool mRunning = false;
  DragOutcome mOutcome = DragOutcome::kCancelled;
  bool mMoved = false, mEntered = false, mAccepted = false, mAwaitingStatus = false, mPositionChanged = false;
  bool mReleased = false, mDropSent = false;
  Time mReleaseTime = 0;
  Clock::time_point mEnteredAt, mReleasedAt, mLastSent, mDropSentAt, mButtonsCheckedAt = Clock::now();
};

}  // namespace

DragOutcome RunXdndDrag(Session& session, const std::vector<DragData>& offer, bool backInWindow) {
  if (!session.display || !session.window) return DragOutcome::kNotStarted;
  return Drag(session, offer, backInWindow).Run();
}

void RefuseSelectionRequest(Display* display, const XSelectionRequestEvent& request) { Reply(display, request, 0); }

}  // namespace velmora::x11
