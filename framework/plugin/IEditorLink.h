#pragma once

namespace velmora {

// What the plug-in side needs of an attached editor. The graphics context
// implements it; keeping it this small lets the plug-in framework build and
// be tested without the graphics library.
//
// Threads: SetParamFromPlugin [any, under the plug-in lock]; CreateSurfaces,
// Width, Height [any, under the plug-in lock] while attaching; OpenWindow,
// CloseWindow, Idle [editor] (the thread that opens the window becomes the
// editor's); IsWindowThread [any].
class IEditorLink {
 public:
  virtual ~IEditorLink() = default;

  // Hands one parameter value to every control bound to index. When
  // normalized is false the value is the parameter's real value and the
  // editor normalises it itself.
  virtual void SetParamFromPlugin(int index, double value, bool normalized) = 0;
  virtual void CreateSurfaces() = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Opens the editor's window inside the host's parent window; answers the
  // window handle, or null when no window could be made.
  virtual void* OpenWindow(void* parent) = 0;
  virtual void CloseWindow() = 0;
  // What a host passes beside the parent (effEditOpen's value): on Linux
  // some hosts hand over their Display*. A hint for the next OpenWindow;
  // never trusted to point anywhere.
  virtual void SetHostConnectionHint(void* /*hint*/) {}
  // Before the plug-in goes (effClose, without the plug-in lock): closes the
  // window and returns once no other thread is inside the editor any more.
  virtual void Shutdown() { CloseWindow(); }
  // The host's idle call (effEditIdle, effIdle), from any host thread and
  // without the plug-in lock: platforms without a window message loop
  // handle their pending window events and redraw here. One pump entry for
  // every host and adapter; concurrent calls never wait for each other.
  virtual void Idle() {}
  // The descriptor the window's events arrive on, for hosts that watch it
  // and call Idle when it is readable; -1 when there is none (no window, or
  // a platform with its own message loop).
  virtual int EventDescriptor() const { return -1; }
  // Whether the calling thread is the one running the editor's window
  // (once a window has opened); the processing entries never run there.
  virtual bool IsWindowThread() const { return false; }
};

}  // namespace velmora
