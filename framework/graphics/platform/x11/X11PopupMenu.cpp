#include "framework/graphics/platform/x11/X11PopupMenu.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "framework/graphics/IGraphics.h"
#include "framework/graphics/platform/x11/PopupLayout.h"
#include "framework/graphics/platform/x11/X11Display.h"
#include "framework/graphics/platform/x11/X11Image.h"

namespace velmora::x11 {

namespace {

using Clock = std::chrono::steady_clock;
using P = PopupPalette;

// A pointer that travelled this far since the menu opened has left the press that opened it.
constexpr int kArmDistance = 3;

bool Choosable(const PopupMenuItem* item) { return item && item->Selectable() && !item->submenu; }
bool OpensSubmenu(const PopupMenuItem* item) { return item && item->submenu && !item->IsSeparator(); }
// Where the highlight may rest: items that choose and items that open a submenu.
bool Highlightable(const PopupMenuItem* item) { return Choosable(item) || OpensSubmenu(item); }

// The menu's picture, drawn with the editor's operations at the menu's
// own scale (its layout is in physical pixels).
class MenuPicture : public IControl {
 public:
  MenuPicture(const PopupMenu& menu, const PopupLayout& layout, const TextStyle& style)
      : IControl(nullptr, Rect(0, 0, layout.width, layout.height)), mMenu(menu), mLayout(layout), mStyle(style) {}

  int highlight = -1;

  bool Draw(IGraphics& graphics) override {
    graphics.FillRectangle(P::kGround, mRect);
    graphics.DrawRectangle(P::kFrame, Rect(0, 0, mLayout.width - 1, mLayout.height - 1));
    for (int i = 0; i < mMenu.NItems(); ++i) DrawItem(graphics, i, i == highlight);
    return true;
  }

 private:
  void DrawItem(IGraphics& graphics, int index, bool highlighted) {
    const ScaledPopupMetrics& m = mLayout.metrics;
    const PopupMenuItem* item = mMenu.Item(index);
    const Rect r = mLayout.ItemRect(index);
    if (item->IsSeparator()) {
      const int middle = r.top + m.itemHeight / 2;
      graphics.FillRectangle(P::kSeparator, Rect(r.left + m.Scaled(6), middle, r.right - m.Scaled(6), middle + m.Scaled(1)));
      return;
    }
    if (highlighted) graphics.FillRectangle(P::kHighlight, r);
    TextStyle style = mStyle;
    style.color = !Choosable(item) && !item->submenu ? P::kGrayText : highlighted ? P::kHighlightText : P::kText;
    const int textTop = r.top + (m.itemHeight - m.fontSize) / 2 - m.Scaled(1);
    graphics.DrawText(style, mMenu.ItemLabel(index).c_str(),
                      Rect(r.left + m.checkGutter, textTop, r.right - m.arrowGutter, r.bottom));
    const int cy = r.top + m.itemHeight / 2;
    if (item->Checked()) DrawTick(graphics, r.left, cy, style.color);
    if (item->submenu) {
      const int x = r.right - m.Scaled(12);
      const int half = m.Scaled(4);
      graphics.FillTriangle(style.color, x, cy - half, x, cy + half, x + half, cy);
    }
  }

  // Two strokes, as thick as the scale makes two pixels.
  void DrawTick(IGraphics& graphics, int left, int cy, const Color& ink) {
    const ScaledPopupMetrics& m = mLayout.metrics;
    const int x0 = left + m.Scaled(7), x1 = left + m.Scaled(10), x2 = left + m.Scaled(16);
    for (int t = 0; t < m.Scaled(2); ++t) {
      const int y = cy + t - m.Scaled(1);
      graphics.DrawLine(ink, x0, y, x1, y + (x1 - x0));
      graphics.DrawLine(ink, x1, y + (x1 - x0), x2, y + (x1 - x0) - (x2 - x1));
    }
  }

  const PopupMenu& mMenu;
  PopupLayout mLayout;
  TextStyle mStyle;
};

// A small editor of its own: one control, a surface, and the menu's window to paint into.
class MenuCanvas : public IGraphics {
 public:
  explicit MenuCanvas(const TextStyle& style) : IGraphics(nullptr, 1, 1), mStyle(style) {}

  int WidestLabel(const PopupMenu& menu) {
    int widest = 0;
    for (int i = 0; i < menu.NItems(); ++i) {
      Rect r;  // an empty text leaves it empty
      if (MeasureText(mStyle, menu.ItemLabel(i).c_str(), r)) widest = std::max(widest, int(r.W()));
    }
    return widest;
  }

  void Lay(const PopupMenu& menu, const PopupLayout& layout, WindowImage& image) {
    ResizeEditor(layout.width, layout.height);
    mPicture = Adopt(std::make_unique<MenuPicture>(menu, layout, mStyle));
    mImage = &image;
  }

  void Show(int highlight) {
    mPicture->highlight = highlight;
    DrawArea(Rect(0, 0, LayoutWidth(), LayoutHeight()));
  }

  void PaintToWindow(const Rect& rect) override {
    if (mImage && DrawingSurface()) mImage->Put(*DrawingSurface(), rect);
  }

 private:
  TextStyle mStyle;
  MenuPicture* mPicture = nullptr;  // owned by the canvas
  WindowImage* mImage = nullptr;
};

// The next item after from in direction step where the highlight may rest; from when none.
int NextHighlightable(const PopupMenu& menu, int from, int step) {
  const int n = menu.NItems();
  int index = from;
  for (int tries = 0; tries < n; ++tries) {
    index = index < 0 ? (step > 0 ? 0 : n - 1) : (index + step + n) % n;
    if (Highlightable(menu.Item(index))) return index;
  }
  return from;
}

bool IsPointerEvent(int type) { return type == ButtonPress || type == ButtonRelease || type == MotionNotify; }
bool IsInputEvent(int type) { return IsPointerEvent(type) || type == KeyPress || type == KeyRelease; }

// Input that arrives before the window shows belongs to the menus, which
// read it once it does (a click on a submenu's item may come that soon);
// everything else goes to the editor.
bool WaitMapped(Session& session, Window window) {
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(1);
  std::vector<XEvent> input;
  bool mapped = false;
  XEvent event;
  while (!mapped && Clock::now() < deadline) {
    if (session.alive && !session.alive()) break;
    if (!NextEvent(session.display, event, std::chrono::milliseconds(20))) continue;
    if (event.type == MapNotify && event.xmap.window == window) {
      mapped = true;
    } else if (IsInputEvent(event.type)) {
      input.push_back(event);
    } else if (event.xany.window != window && session.forward) {
      session.forward(event);
    }
  }
  for (auto it = input.rbegin(); it != input.rend(); ++it) XPutBackEvent(session.display, &*it);
  return mapped;
}

bool GrabFor(Session& session, Window window) {
  // Another client's grab may be on its way out; give it a moment.
  for (int tries = 0; tries < 10 && !(session.alive && !session.alive()); ++tries) {
    if (XGrabPointer(session.display, window, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                     GrabModeAsync, GrabModeAsync, 0, 0, CurrentTime) == GrabSuccess) {
      XGrabKeyboard(session.display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// How a menu's loop ended: an item chosen (in it or a submenu), dismissed
// altogether, or handed back to the menu it opened from.
enum class Outcome { kChosen, kDismissed, kBack };

// Everything the menus of one run share.
struct MenuRun {
  Session& session;
  Rect screen;
  int percent;
  TextStyle style;
  PopupMenu* chosen = nullptr;
  int depth = 0;
};

// One menu on the screen: its window, its picture and its loop. Submenus
// open beside their item as menus of their own, one level deeper.
class MenuWindow {
 public:
  MenuWindow(MenuRun& run, PopupMenu& menu, const PopupLayout& layout, const std::vector<PopupLayout>& ancestors)
      : mRun(run), mMenu(menu), mLayout(layout), mAncestors(ancestors), mCanvas(run.style) {}
  MenuWindow(const MenuWindow&) = delete;
  MenuWindow& operator=(const MenuWindow&) = delete;
  ~MenuWindow() { Close(); }

  bool Open();
  Outcome Run(bool armed);

 private:
  void Close();
  void Show(int highlight);
  bool InAncestor(int rootX, int rootY) const;
  Outcome OpenSubmenu(int index);
  // Hands the event on to the menu below, which reads it next.
  Outcome Back(XEvent& event) {
    XPutBackEvent(mRun.session.display, &event);
    return Outcome::kBack;
  }
  int ItemAtRoot(int rootX, int rootY) const { return mLayout.ItemAt(rootX - mLayout.x, rootY - mLayout.y); }

  MenuRun& mRun;
  PopupMenu& mMenu;
  PopupLayout mLayout;
  std::vector<PopupLayout> mAncestors;
  MenuCanvas mCanvas;
  WindowImage mImage;
  Window mWindow = 0;
  int mHighlight = -1;
};

bool MenuWindow::Open() {
  Session& session = mRun.session;
  Display* display = session.display;
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.save_under = True;
  attributes.background_pixel = 0;
  attributes.border_pixel = 0;
  attributes.colormap = session.colormap;
  attributes.event_mask =
      ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask | StructureNotifyMask;
  mWindow = XCreateWindow(display, session.root, mLayout.x, mLayout.y, unsigned(mLayout.width),
                          unsigned(mLayout.height), 0, session.depth, InputOutput, session.visual,
                          CWOverrideRedirect | CWSaveUnder | CWBackPixel | CWBorderPixel | CWColormap | CWEventMask,
                          &attributes);
  if (!mWindow) return false;
  XChangeProperty(display, mWindow, session.atoms.windowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&session.atoms.windowTypePopupMenu), 1);
  mImage.Create(display, mWindow, session.visual, session.depth, mLayout.width, mLayout.height);
  mCanvas.Lay(mMenu, mLayout, mImage);
  Show(-1);
  XMapRaised(display, mWindow);
  return WaitMapped(session, mWindow) && GrabFor(session, mWindow);
}

void MenuWindow::Close() {
  if (!mWindow) return;
  mImage.Destroy();
  // A lost server took the menu's window with it.
  if (!IsLost(mRun.session.display)) {
    XDestroyWindow(mRun.session.display, mWindow);
    XFlush(mRun.session.display);
  }
  mWindow = 0;
}

void MenuWindow::Show(int highlight) {
  mHighlight = highlight;
  mCanvas.Show(highlight);
}

bool MenuWindow::InAncestor(int rootX, int rootY) const {
  return std::any_of(mAncestors.begin(), mAncestors.end(),
                     [&](const PopupLayout& a) { return a.Contains(rootX, rootY); });
}

Outcome MenuWindow::OpenSubmenu(int index) {
  PopupMenu& sub = *mMenu.Item(index)->submenu;
  if (mRun.depth >= PopupMenu::kMaxDepth || sub.NItems() == 0) return Outcome::kBack;
  Rect item = mLayout.ItemRect(index);
  item = Rect(item.left + mLayout.x, item.top + mLayout.y, item.right + mLayout.x, item.bottom + mLayout.y);
  std::vector<PopupLayout> ancestors = mAncestors;
  ancestors.push_back(mLayout);
  const PopupLayout layout =
      LayoutSubmenu(sub.NItems(), mCanvas.WidestLabel(sub), item, mLayout, mRun.screen, mRun.percent);
  ++mRun.depth;
  Outcome outcome = Outcome::kBack;
  {
    MenuWindow window(mRun, sub, layout, ancestors);
    if (window.Open()) outcome = window.Run(true);
  }
  --mRun.depth;
  // Back here: the pointer and the keys are ours again.
  if (outcome == Outcome::kBack && !GrabFor(mRun.session, mWindow)) outcome = Outcome::kDismissed;
  return outcome;
}

Outcome MenuWindow::Run(bool armed) {
  Session& session = mRun.session;
  Display* display = session.display;
  // Where the opening press was, so that its release does not choose whatever the menu put under it.
  int startX = 0, startY = 0, wx = 0, wy = 0;
  unsigned mask = 0;
  Window rootReturn = 0, child = 0;
  XQueryPointer(display, mWindow, &rootReturn, &child, &startX, &startY, &wx, &wy, &mask);
  XEvent event;
  for (;;) {
    if (session.alive && !session.alive()) return Outcome::kDismissed;
    if (!NextEvent(display, event, std::chrono::milliseconds(100))) continue;
    if (mImage.OnEvent(event)) continue;
    const bool ours = event.xany.window == mWindow;
    // Pointer events count wherever they were reported: until the menu's grab
    // begins, the editor's grab still sends them to the editor's window.
    if (!ours && !IsPointerEvent(event.type)) {
      if (session.forward) session.forward(event);
      continue;
    }
    int next = mHighlight;
    int open = -1;  // a submenu to open
    switch (event.type) {
      case MotionNotify: {
        const XMotionEvent& m = event.xmotion;
        session.lastTime = m.time;
        if (std::abs(m.x_root - startX) > kArmDistance || std::abs(m.y_root - startY) > kArmDistance) armed = true;
        if (!mLayout.Contains(m.x_root, m.y_root) && InAncestor(m.x_root, m.y_root)) return Back(event);
        const int at = ItemAtRoot(m.x_root, m.y_root);
        next = Highlightable(mMenu.Item(at)) ? at : -1;
        if (next >= 0 && next != mHighlight && OpensSubmenu(mMenu.Item(next))) open = next;
        break;
      }
      case ButtonPress: {
        const XButtonEvent& b = event.xbutton;
        session.lastTime = b.time;
        if (b.button > 3) break;
        if (mLayout.Contains(b.x_root, b.y_root)) armed = true;
        else return InAncestor(b.x_root, b.y_root) ? Back(event) : Outcome::kDismissed;
        break;
      }
      case ButtonRelease: {
        const XButtonEvent& b = event.xbutton;
        session.lastTime = b.time;
        const int at = ItemAtRoot(b.x_root, b.y_root);
        if (b.button > 3 || !armed) break;
        if (Choosable(mMenu.Item(at))) {
          mMenu.SetChosenItem(at);
          mRun.chosen = &mMenu;
          return Outcome::kChosen;
        }
        if (OpensSubmenu(mMenu.Item(at))) open = next = at;
        break;
      }
      case KeyPress: {
        session.lastTime = event.xkey.time;
        const KeySym key = XLookupKeysym(&event.xkey, 0);
        if (key == XK_Escape || (key == XK_Left && !mAncestors.empty())) {
          return mAncestors.empty() ? Outcome::kDismissed : Outcome::kBack;
        } else if ((key == XK_Return || key == XK_KP_Enter) && Choosable(mMenu.Item(mHighlight))) {
          mMenu.SetChosenItem(mHighlight);
          mRun.chosen = &mMenu;
          return Outcome::kChosen;
        } else if ((key == XK_Return || key == XK_KP_Enter || key == XK_Right) && OpensSubmenu(mMenu.Item(mHighlight))) {
          open = mHighlight;
        } else if (key == XK_Down || key == XK_Up) {
          next = NextHighlightable(mMenu, mHighlight, key == XK_Down ? 1 : -1);
        }
        break;
      }
      case Expose:
        if (ours && !mImage.HasBackground()) Show(mHighlight);
        break;
      case UnmapNotify:
      case DestroyNotify:
        if (ours) return Outcome::kDismissed;
        break;
      default:
        break;
    }
    if (next != mHighlight) Show(next);
    if (open < 0) continue;
    const Outcome outcome = OpenSubmenu(open);
    if (outcome != Outcome::kBack) return outcome;
    // The pointer may have gone back further than this menu.
    int rx = 0, ry = 0;
    XQueryPointer(display, mWindow, &rootReturn, &child, &rx, &ry, &wx, &wy, &mask);
    if (!mLayout.Contains(rx, ry) && InAncestor(rx, ry)) return Outcome::kBack;
    const int at = ItemAtRoot(rx, ry);
    Show(Highlightable(mMenu.Item(at)) ? at : mHighlight);
  }
}

}  // namespace

PopupMenu* RunPopupMenu(Session& session, PopupMenu& menu, const Rect& anchor, int maxHeight, int percent) {
  Display* display = session.display;
  if (!display || menu.NItems() == 0) return nullptr;

  int rootLeft = 0, rootTop = 0, rootRight = 0, rootBottom = 0;
  Window child = 0;
  XTranslateCoordinates(display, session.window, session.root, anchor.left, anchor.top, &rootLeft, &rootTop, &child);
  XTranslateCoordinates(display, session.window, session.root, anchor.right, anchor.bottom, &rootRight, &rootBottom,
                        &child);
  const ScaledPopupMetrics metrics = ScaledPopupMetrics::At(percent);
  MenuRun run{session,
              Rect(0, 0, DisplayWidth(display, session.screen), DisplayHeight(display, session.screen)),
              metrics.percent,
              TextStyle("Arial", metrics.fontSize, P::kText, TextStyle::kNormal, TextStyle::kNear)};
  MenuCanvas measure(run.style);
  const PopupLayout layout = LayoutPopup(menu.NItems(), measure.WidestLabel(menu),
                                         Rect(rootLeft, rootTop, rootRight, rootBottom), run.screen, maxHeight,
                                         metrics.percent);
  bool chosen = false;
  {
    MenuWindow window(run, menu, layout, {});
    if (window.Open()) chosen = window.Run(false) == Outcome::kChosen;
  }
  if (!IsLost(display)) {
    XUngrabKeyboard(display, CurrentTime);
    XUngrabPointer(display, CurrentTime);
    XFlush(display);
  }
  return chosen ? run.chosen : nullptr;
}

}  // namespace velmora::x11
