#include "tools/x11host/X11EditorHost.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstring>
#include <future>

#include "framework/graphics/raster/PngCodec.h"

namespace velmora::host {

namespace {

using Clock = std::chrono::steady_clock;

bool WaitMapped(Display* display, Window window) {
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
  XEvent event;
  while (Clock::now() < deadline) {
    if (XCheckTypedWindowEvent(display, window, MapNotify, &event)) return true;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

}  // namespace

namespace {

// Windows may go between listing them and asking about them (a menu that
// just closed): such errors on the host's own queries are expected, others
// go where they went before.
XErrorHandler gPreviousHandler = nullptr;

int ToleratingErrors(Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow || error->error_code == BadDrawable || error->error_code == BadMatch) return 0;
  return gPreviousHandler ? gPreviousHandler(display, error) : 0;
}

}  // namespace

X11EditorHost::X11EditorHost(const char* displayName) {
  display_ = XOpenDisplay(displayName);
  if (!display_) {
    error_ = "cannot open the display";
    return;
  }
  static const bool installed = [] {
    gPreviousHandler = XSetErrorHandler(ToleratingErrors);
    return true;
  }();
  (void)installed;
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) error_ = "the display has no XTest";
  ui_ = std::thread([this] { uiLoop(); });
}

X11EditorHost::~X11EditorHost() {
  if (ui_.joinable()) {
    setIdling(false);
    if (open_) closeEditor();
    {
      std::lock_guard<std::mutex> guard(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    ui_.join();
  }
  vst_.close();
  if (display_) {
    if (parent_) XDestroyWindow(display_, parent_);
    XCloseDisplay(display_);
  }
}

bool X11EditorHost::load(const std::string& modulePath) {
  if (!vst_.load(modulePath)) {
    error_ = vst_.error();
    return false;
  }
  vst_.open();
  vst_.setSampleRate(48000.0);
  vst_.setBlockSize(256);
  vst_.resume();
  return true;
}

bool X11EditorHost::editorSize(int& width, int& height) {
  ERect* rect = nullptr;
  if (!vst_.dispatch(effEditGetRect, 0, 0, &rect) || !rect) return false;
  width = rect->right - rect->left;
  height = rect->bottom - rect->top;
  return width > 0 && height > 0;
}

bool X11EditorHost::makeParent(int x, int y, int width, int height) {
  if (!parent_) {
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display_, DefaultScreen(display_));
    attributes.event_mask = StructureNotifyMask;
    parent_ = XCreateWindow(display_, DefaultRootWindow(display_), x, y, unsigned(width), unsigned(height), 0,
                            CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    XStoreName(display_, parent_, "Velmora editor host");
  } else {
    XMoveResizeWindow(display_, parent_, x, y, unsigned(width), unsigned(height));
  }
  XMapRaised(display_, parent_);
  XSync(display_, False);
  return WaitMapped(display_, parent_);
}

bool X11EditorHost::openEditor(int x, int y, bool idling) {
  if (!display_ || !vst_.isLoaded() || open_) return false;
  int width = 0, height = 0;
  if (!editorSize(width, height)) {
    error_ = "the plug-in has no editor";
    return false;
  }
  if (!makeParent(x, y, width, height)) {
    error_ = "the parent window did not map";
    return false;
  }
  std::intptr_t opened = 0;
  const XWindowId parent = parent_;
  onUiThread([&] {
    const Clock::time_point start = Clock::now();
    opened = vst_.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent));
    openCall_ = Clock::now() - start;
  });
  if (!opened) {
    error_ = "effEditOpen refused";
    return false;
  }
  open_ = true;
  setIdling(idling);
  // The plug-in maps its window through its own connection: input sent before
  // the server did so would land on the parent.
  if (!WaitFor([this] {
        const XWindowId editor = editorWindow();
        XWindowAttributes attributes;
        return editor && XGetWindowAttributes(display_, editor, &attributes) && attributes.map_state == IsViewable;
      })) {
    error_ = "the editor's window did not come up";
    return false;
  }
  return true;
}

void X11EditorHost::closeEditor() {
  if (!open_) return;
  setIdling(false);
  onUiThread([this] { vst_.dispatch(effEditClose); });
  open_ = false;
}

void X11EditorHost::destroyParent() {
  if (!parent_) return;
  XDestroyWindow(display_, parent_);
  XSync(display_, False);
  parent_ = 0;
}

void X11EditorHost::setIdling(bool on) {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    idling_ = on;
  }
  wake_.notify_all();
}

void X11EditorHost::post(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_all();
}

void X11EditorHost::onUiThread(const std::function<void()>& fn) {
  if (std::this_thread::get_id() == ui_.get_id()) return fn();
  std::promise<void> done;
  post([&] {
    fn();
    done.set_value();
  });
  done.get_future().wait();
}

void X11EditorHost::idleOnce() {
  onUiThread([this] {
    vst_.dispatch(effEditIdle);
    ++idles_;
  });
}

void X11EditorHost::uiLoop() {
  std::unique_lock<std::mutex> lock(mutex_);
  Clock::time_point next = Clock::now();
  while (!stop_) {
    if (!tasks_.empty()) {
      std::function<void()> task = std::move(tasks_.front());
      tasks_.pop_front();
      lock.unlock();
      task();
      lock.lock();
      continue;
    }
    if (!idling_) {
      wake_.wait(lock);
      next = Clock::now();
      continue;
    }
    const Clock::time_point now = Clock::now();
    if (now < next) {
      wake_.wait_until(lock, next);
      continue;
    }
    lock.unlock();
    vst_.dispatch(effEditIdle);
    ++idles_;
    lock.lock();
    // Steady 40 ms steps; a host that fell behind does not try to catch up.
    next += kIdlePeriod;
    if (next < now) next = now + kIdlePeriod;
  }
}

XWindowId X11EditorHost::editorWindow() const {
  if (!display_ || !parent_) return 0;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  XWindowId found = 0;
  if (XQueryTree(display_, parent_, &root, &parent, &children, &count) && count > 0) found = children[0];
  if (children) XFree(children);
  return found;
}

bool X11EditorHost::windowRect(XWindowId window, ScreenRect& rect) const {
  XWindowAttributes attributes;
  if (!display_ || !window || !XGetWindowAttributes(display_, window, &attributes)) return false;
  Window child = 0;
  XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &rect.x, &rect.y, &child);
  rect.width = attributes.width;
  rect.height = attributes.height;
  return true;
}

std::vector<ScreenRect> X11EditorHost::popupWindows() const {
  std::vector<ScreenRect> popups;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) return popups;
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display_, children[i], &attributes) && attributes.override_redirect &&
        attributes.map_state == IsViewable) {
      popups.push_back(ScreenRect{attributes.x, attributes.y, attributes.width, attributes.height});
    }
  }
  if (children) XFree(children);
  return popups;
}

bool X11EditorHost::rootOrigin(int& x, int& y) const {
  ScreenRect rect;
  const XWindowId editor = editorWindow();
  if (!windowRect(editor ? editor : parent_, rect)) return false;
  x = rect.x;
  y = rect.y;
  return true;
}

void X11EditorHost::moveTo(int x, int y) {
  int ox = 0, oy = 0;
  rootOrigin(ox, oy);
  moveToRoot(ox + x, oy + y);
}

void X11EditorHost::moveToRoot(int x, int y) {
  XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, 0);
  XSync(display_, False);
}

void X11EditorHost::press(int button, unsigned long delayMs) {
  XTestFakeButtonEvent(display_, unsigned(button), True, delayMs);
  XSync(display_, False);
}

void X11EditorHost::release(int button, unsigned long delayMs) {
  XTestFakeButtonEvent(display_, unsigned(button), False, delayMs);
  XSync(display_, False);
}

void X11EditorHost::click(int x, int y, int button) {
  moveTo(x, y);
  press(button);
  release(button);
}

void X11EditorHost::wheel(int x, int y, int notches) {
  moveTo(x, y);
  const int button = notches > 0 ? 4 : 5;
  for (int i = 0; i < (notches > 0 ? notches : -notches); ++i) {
    press(button);
    release(button);
  }
}

void X11EditorHost::key(unsigned long keysym, bool down) {
  const KeyCode code = XKeysymToKeycode(display_, KeySym(keysym));
  if (!code) return;
  XTestFakeKeyEvent(display_, code, down ? True : False, 0);
  XSync(display_, False);
}

void X11EditorHost::tapKey(unsigned long keysym) {
  key(keysym, true);
  key(keysym, false);
}

namespace {

bool Capture(Display* display, Drawable drawable, int x, int y, int width, int height, MemBitmap& out) {
  XImage* image = XGetImage(display, drawable, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
  if (!image) return false;
  out.Resize(image->width, image->height);
  const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst && image->red_mask == 0xff0000 &&
                      image->green_mask == 0xff00 && image->blue_mask == 0xff;
  for (int row = 0; row < image->height; ++row) {
    Pixel* pixels = out.Row(row);
    if (direct) {
      std::memcpy(pixels, image->data + std::size_t(row) * std::size_t(image->bytes_per_line),
                  std::size_t(image->width) * 4);
      for (int column = 0; column < image->width; ++column) pixels[column] |= 0xff000000u;
    } else {
      for (int column = 0; column < image->width; ++column) {
        pixels[column] = 0xff000000u | Pixel(XGetPixel(image, column, row) & 0xffffff);
      }
    }
  }
  XDestroyImage(image);
  return true;
}

}  // namespace

bool X11EditorHost::capture(MemBitmap& out) const {
  const XWindowId window = editorWindow();
  XWindowAttributes attributes;
  if (!window || !XGetWindowAttributes(display_, window, &attributes)) return false;
  return Capture(display_, window, 0, 0, attributes.width, attributes.height, out);
}

bool X11EditorHost::captureScreen(const ScreenRect& rect, MemBitmap& out) const {
  return rect.width > 0 && rect.height > 0 &&
         Capture(display_, DefaultRootWindow(display_), rect.x, rect.y, rect.width, rect.height, out);
}

bool X11EditorHost::pixel(int x, int y, Pixel& out) const {
  const XWindowId window = editorWindow();
  XImage* image = window ? XGetImage(display_, window, x, y, 1, 1, AllPlanes, ZPixmap) : nullptr;
  if (!image) return false;
  out = Pixel(XGetPixel(image, 0, 0) & 0xffffff);
  XDestroyImage(image);
  return true;
}

bool X11EditorHost::saveScreenshot(const std::string& path) const {
  MemBitmap shot;
  return capture(shot) && WritePng(shot, path, false);
}

bool X11EditorHost::WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  while (!condition()) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace velmora::host
