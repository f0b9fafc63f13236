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

  // The editor's scale. Width and Height answer physical pixels at the
  // scale in force (what CLAP's get_size, VST 2.4's effEditGetRect and VST
  // 3's getSize report). Threads: the host's user-interface thread, with or
  // without the plug-in lock.
  //
  // The host's own factor (CLAP set_scale, VST 3 setContentScaleFactor,
  // VST 2.4 effVendorSpecific 'PreS' 'AeCs'), snapped to the nearest step;
  // a factor that names no scale (0, negative, not finite) forgets it. The
  // user's own choice wins over it. With no window open the new size holds
  // at once; with one open the editor asks for it through
  // IPluginBase::OnEditorSizeChanged, as for any other change of scale.
  virtual void SetHostScale(double /*factor*/) {}
  // The scale in force (1.0 = 100 %).
  virtual double Scale() const { return 1.0; }
  // The adapter's answer to OnEditorSizeChanged(width, height) asking for a
  // new size: the host's window now has it. The editor takes the scale it
  // asked for; from this call on Width and Height answer width and height.
  // A size it did not ask for changes nothing.
  virtual void HostResized(int /*width*/, int /*height*/) {}
};

}  // namespace velmora
