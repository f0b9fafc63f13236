#include "framework/graphics/platform/x11/X11PopupMenu.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "framework/graphics/IGraphics.h"
#include "framework/graphics/platform/x11/PopupLayout.h"
#include "framework/graphics/platform/x11/X11Display.h"
#include "framework/graphics/platform/x11/X11Image.h"
#include "framework/graphics/raster/PixelOps.h"

namespace velmora::x11 {

namespace {

using Clock = std::chrono::steady_clock;
using M = PopupMetrics;

using P = PopupPalette;

// A pointer that travelled this far since the menu opened has left the press that opened it.
constexpr int kArmDistance = 3;

bool Choosable(const PopupMenuItem* item) { return item && item->Selectable() && !item->submenu; }

// The menu's picture, drawn with the editor's operations.
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
    const PopupMenuItem* item = mMenu.Item(index);
    const Rect r = mLayout.ItemRect(index);
    if (item->IsSeparator()) {
      const int middle = r.top + M::kItemHeight / 2;
      graphics.FillRectangle(P::kSeparator, Rect(r.left + 6, middle, r.right - 6, middle + 1));
      return;
    }
    if (highlighted) graphics.FillRectangle(P::kHighlight, r);
    TextStyle style = mStyle;
    style.color = !Choosable(item) && !item->submenu ? P::kGrayText : highlighted ? P::kHighlightText : P::kText;
    const int textTop = r.top + (M::kItemHeight - M::kFontSize) / 2 - 1;
    graphics.DrawText(style, mMenu.ItemLabel(index).c_str(),
                      Rect(r.left + M::kCheckGutter, textTop, r.right - M::kArrowGutter, r.bottom));
    mStyle.cached = style.cached;  // same face and size: the copies share the font
    const int cy = r.top + M::kItemHeight / 2;
    if (item->Checked()) {
      const Pixel ink = ToPixel(style.color);
      for (int t = 0; t < 2; ++t) {
        velmora::DrawLine(*graphics.DrawingSurface(), r.left + 7, cy + t - 1, r.left + 10, cy + t + 2, ink, 1.0f,
                          kBlendCopy, false);
        velmora::DrawLine(*graphics.DrawingSurface(), r.left + 10, cy + t + 2, r.left + 16, cy + t - 4, ink, 1.0f,
                          kBlendCopy, false);
      }
    }
    if (item->submenu) {
      const int x = r.right - 12;
      graphics.FillTriangle(style.color, x, cy - 4, x, cy + 4, x + 4, cy);
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
    DrawArea(Rect(0, 0, Width(), Height()));
  }

  void PaintToWindow(const Rect& rect) override {
    if (mImage && DrawingSurface()) mImage->Put(*DrawingSurface(), rect);
  }

 private:
  TextStyle mStyle;
  MenuPicture* mPicture = nullptr;  // owned by the canvas
  WindowImage* mImage = nullptr;
};

// The next item after from in direction step that can be chosen; from when none.
int NextChoosable(const PopupMenu& menu, int from, int step) {
  const int n = menu.NItems();
  int index = from;
  for (int tries = 0; tries < n; ++tries) {
    index = index < 0 ? (step > 0 ? 0 : n - 1) : (index + step + n) % n;
    if (Choosable(menu.Item(index))) return index;
  }
  return from;
}

bool WaitMapped(Session& session, Window window) {
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(1);
  XEvent event;
  while (Clock::now() < deadline) {
    if (session.alive && !session.alive()) return false;
    if (!NextEvent(session.display, event, std::chrono::milliseconds(20))) continue;
    if (event.type == MapNotify && event.xmap.window == window) return true;
    if (event.xany.window != window && session.forward) session.forward(event);
  }
  return false;
}

bool GrabFor(Session& session, Window window) {
  // Another client's grab may be on its way out; give it a moment.
  for (int tries = 0; tries < 10 && !(session.alive && !session.alive()); ++tries) {
    if (XGrabPointer(session.display, window, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                     GrabModeAsync, GrabModeAsync, 0, 0, CurrentTime) == GrabSuccess) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

bool IsPointerEvent(int type) { return type == ButtonPress || type == ButtonRelease || type == MotionNotify; }

}  // namespace

PopupMenu* RunPopupMenu(Session& session, PopupMenu& menu, const Rect& anchor, int maxHeight) {
  Display* display = session.display;
  if (!display || menu.NItems() == 0) return nullptr;

  int rootLeft = 0, rootTop = 0, rootRight = 0, rootBottom = 0;
  Window child = 0;
  XTranslateCoordinates(display, session.window, session.root, anchor.left, anchor.top, &rootLeft, &rootTop, &child);
  XTranslateCoordinates(display, session.window, session.root, anchor.right, anchor.bottom, &rootRight, &rootBottom,
                        &child);
  const Rect screen(0, 0, DisplayWidth(display, session.screen), DisplayHeight(display, session.screen));

  MenuCanvas canvas(TextStyle("Arial", M::kFontSize, P::kText, TextStyle::kNormal, TextStyle::kNear));
  const PopupLayout layout = LayoutPopup(menu.NItems(), canvas.WidestLabel(menu),
                                         Rect(rootLeft, rootTop, rootRight, rootBottom), screen, maxHeight);

  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.save_under = True;
  attributes.background_pixel = 0;
  attributes.border_pixel = 0;
  attributes.colormap = session.colormap;
  attributes.event_mask =
      ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask | StructureNotifyMask;
  const Window window = XCreateWindow(
      display, session.root, layout.x, layout.y, unsigned(layout.width), unsigned(layout.height), 0, session.depth,
      InputOutput, session.visual,
      CWOverrideRedirect | CWSaveUnder | CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &attributes);
  if (!window) return nullptr;
  XChangeProperty(display, window, session.atoms.windowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&session.atoms.windowTypePopupMenu), 1);

  WindowImage image;
  int highlight = -1;
  auto show = [&] { canvas.Show(highlight); };
  image.Create(display, window, session.visual, session.depth, layout.width, layout.height);
  canvas.Lay(menu, layout, image);
  show();
  XMapRaised(display, window);

  int chosen = -1;
  bool open = WaitMapped(session, window) && GrabFor(session, window);
  if (open) {
    XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    // Where the opening press was, so that its release does not choose whatever the menu put under it.
    int startX = 0, startY = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    Window rootReturn = 0;
    XQueryPointer(display, window, &rootReturn, &child, &startX, &startY, &wx, &wy, &mask);
    bool armed = false;
    XEvent event;
    while (open) {
      if (session.alive && !session.alive()) break;
      if (!NextEvent(display, event, std::chrono::milliseconds(100))) continue;
      if (image.OnEvent(event)) continue;
      const bool ours = event.xany.window == window;
      // Pointer events count wherever they were reported: until the menu's grab
      // begins, the editor's grab still sends them to the editor's window.
      if (!ours && !IsPointerEvent(event.type)) {
        if (session.forward) session.forward(event);
        continue;
      }
      int next = highlight;
      switch (event.type) {
        case MotionNotify: {
          const XMotionEvent& m = event.xmotion;
          session.lastTime = m.time;
          if (std::abs(m.x_root - startX) > kArmDistance || std::abs(m.y_root - startY) > kArmDistance) armed = true;
          const int at = layout.ItemAt(m.x_root - layout.x, m.y_root - layout.y);
          next = Choosable(menu.Item(at)) ? at : -1;
          break;
        }
        case ButtonPress: {
          const XButtonEvent& b = event.xbutton;
          session.lastTime = b.time;
          if (b.button > 3) break;
          const int x = b.x_root - layout.x, y = b.y_root - layout.y;
          if (x < 0 || y < 0 || x >= layout.width || y >= layout.height) open = false;
          else armed = true;
          break;
        }
        case ButtonRelease: {
          const XButtonEvent& b = event.xbutton;
          session.lastTime = b.time;
          const int at = layout.ItemAt(b.x_root - layout.x, b.y_root - layout.y);
          if (b.button <= 3 && armed && Choosable(menu.Item(at))) {
            chosen = at;
            open = false;
          }
          break;
        }
        case KeyPress: {
          session.lastTime = event.xkey.time;
          const KeySym key = XLookupKeysym(&event.xkey, 0);
          if (key == XK_Escape) {
            open = false;
          } else if ((key == XK_Return || key == XK_KP_Enter) && Choosable(menu.Item(highlight))) {
            chosen = highlight;
            open = false;
          } else if (key == XK_Down || key == XK_Up) {
            next = NextChoosable(menu, highlight, key == XK_Down ? 1 : -1);
          }
          break;
        }
        case Expose:
          if (!image.HasBackground()) show();
          break;
        case UnmapNotify:
        case DestroyNotify:
          open = false;
          break;
        default:
          break;
      }
      if (open && next != highlight) {
        highlight = next;
        show();
      }
    }
    if (!IsLost(display)) {
      XUngrabKeyboard(display, CurrentTime);
      XUngrabPointer(display, CurrentTime);
    }
  }
  image.Destroy();
  // A lost server took the menu's window with it.
  if (!IsLost(display)) {
    XDestroyWindow(display, window);
    XFlush(display);
  }
  if (chosen < 0) return nullptr;
  menu.SetChosenItem(chosen);
  return &menu;
}

}  // namespace velmora::x11
