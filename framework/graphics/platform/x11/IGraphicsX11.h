#pragma once

#include <memory>
#include <mutex>
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
// Threads: hosts idle from whatever thread they like, sometimes another one
// than the opener's. Every Xlib call of an editor is made by the thread that
// holds its pump (Idle, and the popup menu and drag that run inside it);
// an Idle that finds the pump busy on another thread returns at once, so
// concurrent idles never wait. That thread is the editor's thread while it
// pumps. OpenWindow and CloseWindow run under the plug-in lock and never
// wait for a pump at work: a close that finds one (a menu or a drag open on
// another thread) asks it to end its loop, and the pump closes the window
// after it.
// Shutdown (effClose) waits for that pump. A lost X server leaves the
// editor inert: no X call is made on its connection again.
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
  // Used when $DISPLAY is unset: the host's Display*, whose server we then join.
  void SetHostConnectionHint(void* hint) override { mHostDisplay = hint; }
  void Shutdown() override;
  void* WindowHandle() override;
  bool StartDrag(const std::vector<DragData>& offer) override;
  DragOutcome StartDragOut(const std::vector<DragData>& offer, bool backInWindow) override;
  void Idle() override;
  // The X connection's descriptor while the window is open.
  int EventDescriptor() const override;

  // Whether the window's pixels travel through MIT-SHM (false: XPutImage).
  bool UsesSharedMemory() const;

 private:
  struct State;
  class PumpScope;

  std::shared_ptr<State> CurrentState() const;
  std::shared_ptr<State> MakeState(unsigned long parentWindow);
  void TakeOwnership();
  void Pump(State& state);
  void HandleEvent(State& state, _XEvent& event);
  void RedrawStep(State& state);
  void FitWindow(State& state);
  // The XDND loop inside the pump; kNotStarted while another loop runs.
  DragOutcome RunDrag(const std::vector<DragData>& offer, bool backInWindow);

  // Held by the thread that makes the editor's X calls; depth counts its nesting.
  std::recursive_mutex mPump;
  int mPumpDepth = 0;
  State* mActive = nullptr;  // the window the pump works on
  mutable std::mutex mStateLock;
  std::shared_ptr<State> mState;  // the open window; a pump keeps a closed one alive until it is done
  bool mPumping = false;          // an Idle works on mState; a close then leaves the window to it
  void* mHostDisplay = nullptr;
};

}  // namespace velmora
