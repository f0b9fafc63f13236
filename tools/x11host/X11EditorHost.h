#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "framework/graphics/raster/MemBitmap.h"
#include "tools/vsthost/VstHost.h"

struct _XDisplay;  // Xlib's Display; Xlib stays out of this header

namespace velmora::host {

using XWindowId = unsigned long;

struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
};

// A Linux VST host around one plug-in's editor, as the hosts drive it: a
// top-level parent window of the editor's size (effEditGetRect), effEditOpen
// with the parent's id, effEditIdle every 40 ms on a user-interface thread
// of its own, effEditClose. The calling thread drives real input through
// XTest and reads the editor's window back with XGetImage, on a display
// connection of its own; the plug-in's editor has its own connection.
//
// The user-interface thread blocks while the plug-in runs a popup menu or a
// drag (they are modal, like on Windows); input then still comes from the
// calling thread, which waits for what it expects with WaitFor.
class X11EditorHost {
 public:
  static constexpr std::chrono::milliseconds kIdlePeriod{40};

  // displayName null: $DISPLAY.
  explicit X11EditorHost(const char* displayName = nullptr);
  ~X11EditorHost();
  X11EditorHost(const X11EditorHost&) = delete;
  X11EditorHost& operator=(const X11EditorHost&) = delete;

  bool connected() const { return display_ != nullptr; }
  const std::string& error() const { return error_; }

  // Loads the module and starts the instance (effOpen, 48 kHz, 256 frames, resumed).
  bool load(const std::string& modulePath);
  VstHost& vst() { return vst_; }

  // The size effEditGetRect answers; false when the plug-in has no editor.
  bool editorSize(int& width, int& height);
  // Makes the parent window (once), sizes it from effEditGetRect, maps it at
  // (x, y) and opens the editor inside it on the user-interface thread. With
  // idling on, the first effEditIdle follows at once. Returns once the
  // editor's window is viewable, so that input reaches it.
  bool openEditor(int x = 0, int y = 0, bool idling = true);
  void closeEditor();
  bool editorOpen() const { return open_; }
  // Destroys the parent window, the editor's window with it, while the
  // editor is open, as a host closing its window early does.
  void destroyParent();
  // How long the last effEditOpen call took.
  std::chrono::nanoseconds openCallDuration() const { return openCall_; }

  // effEditIdle every kIdlePeriod on the user-interface thread while on.
  void setIdling(bool on);
  long idleCalls() const { return idles_.load(); }
  // Runs fn on the user-interface thread and waits for it; not while a menu or a drag runs there.
  void onUiThread(const std::function<void()>& fn);
  // One effEditIdle on the user-interface thread, waited for.
  void idleOnce();

  _XDisplay* display() const { return display_; }
  XWindowId parentWindow() const { return parent_; }
  // The window the plug-in made inside the parent (0 when none).
  XWindowId editorWindow() const;
  // Where a window lies on the screen; false when it does not exist.
  bool windowRect(XWindowId window, ScreenRect& rect) const;
  // Mapped override-redirect windows on the screen (popup menus), topmost last.
  std::vector<ScreenRect> popupWindows() const;

  // Real input through XTest. Coordinates are the editor's (its window's
  // origin on the screen added) or the screen's for ...Root. delay lets the
  // server wait before it acts, so that gaps in server time need no sleeping here.
  void moveTo(int x, int y);
  void moveToRoot(int x, int y);
  void press(int button = 1, unsigned long delayMs = 0);
  void release(int button = 1, unsigned long delayMs = 0);
  void click(int x, int y, int button = 1);
  void wheel(int x, int y, int notches);
  void key(unsigned long keysym, bool down);
  void tapKey(unsigned long keysym);

  // The editor window's pixels as an opaque bitmap (blue, green, red, 255).
  bool capture(MemBitmap& out) const;
  // A part of the screen (popup menus), the same way.
  bool captureScreen(const ScreenRect& rect, MemBitmap& out) const;
  // One pixel of the editor window (0x00RRGGBB), much cheaper than a capture.
  bool pixel(int x, int y, Pixel& out) const;
  bool saveScreenshot(const std::string& path) const;

  // Polls condition until it holds or timeout passes.
  static bool WaitFor(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(5));

 private:
  void uiLoop();
  void post(std::function<void()> task);
  bool makeParent(int x, int y, int width, int height);
  bool rootOrigin(int& x, int& y) const;

  _XDisplay* display_ = nullptr;
  std::string error_;
  VstHost vst_;
  XWindowId parent_ = 0;
  bool open_ = false;
  std::chrono::nanoseconds openCall_{0};

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  bool idling_ = false;
  bool stop_ = false;
  std::atomic<long> idles_{0};
  std::thread ui_;
};

}  // namespace velmora::host
