#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/IGraphics.h"

union _XEvent;  // Xlib's XEvent; Xlib itself stays out of this header

namespace velmora {

// The editor on Linux: a child window of the host's parent window on a
// display connection of its own. There is no window message loop in a VST
// host on Linux, so the host's idle calls drive everything: Idle() handles
// the pending X events and runs the redraw step every 1000 / FPS ms.
//
// Threads: every Xlib call of an editor is made on the thread that opened
// its window (the host's user-interface thread), which also calls Idle;
// XInitThreads is never needed. Two editors of one process have their own
// connections and may live on different threads. OpenWindow and CloseWindow
// run under the plug-in lock and wait for nothing but the X server; nothing
// is drawn there: the first Idle draws the whole editor at once.
class IGraphicsX11 : public IGraphics {
 public:
  IGraphicsX11(IPluginBase* plugin, int width, int height, int fps = 25);
  ~IGraphicsX11() override;

  void PaintToWindow(const Rect& rect) override;
  bool WindowIsOpen() override;
  const char* DrawingApiName() override { return "Xlib"; }
  PopupMenu* ShowPopupMenu(PopupMenu& menu, const Rect& rect) override;
  void HostPath(std::string& path) override;
  void PluginPath(std::string& path) override;
  void DesktopPath(std::string& path) override;
  void ApplicationDataFolder(std::string& path, bool allUsers) override;
  // Starts xdg-open with the address; true when it could be started. A
  // confirmation cannot be asked here, so asking for one answers false.
  bool OpenUrl(const char* url, const char* title, const char* confirmText, const char* errorText) override;
  // parent is the host's window id (an XID) cast to a pointer; answers the
  // editor's window id the same way, null when no window could be made.
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  void* WindowHandle() override;
  bool StartDrag(const std::vector<DragData>& offer) override;
  void Idle() override;
  // The X connection's descriptor while the window is open.
  int EventDescriptor() const override;

  // Whether the window's pixels travel through MIT-SHM (false: XPutImage).
  bool UsesSharedMemory() const;

 private:
  struct State;

  void HandleEvent(_XEvent& event);
  void RedrawStep();

  std::unique_ptr<State> mState;
};

}  // namespace velmora
