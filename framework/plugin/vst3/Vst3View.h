#pragma once

#include <functional>
#include <memory>

#include "framework/plugin/IPluginBase.h"
#include "framework/plugin/vst3/Vst3Support.h"

namespace velmora {

class Vst3Controller;

// What runs the editor's pump on the host's UI thread: on Linux the host's
// run loop (asked of the view's frame), with a timer and the window's event
// descriptor; on Windows a timer of the thread's message loop.
class Vst3PumpDriver {
 public:
  virtual ~Vst3PumpDriver() = default;
  // False when the platform's means are not there (a host without a run
  // loop); descriptor is -1 for none.
  virtual bool Start(vst3::IPlugFrame* frame, int descriptor) = 0;
  virtual void Stop() = 0;
};
std::unique_ptr<Vst3PumpDriver> MakeVst3PumpDriver(std::function<void()> tick);
// The platform's window type ("X11EmbedWindowID", "HWND").
const char* Vst3WindowType();

// The editor as a VST 3 view, at its one size. It shows the editor of the
// plug-in its controller names (the processor's, or the controller's own
// copy) and moves to another when that changes.
//
// Threads: [UI] everything but addRef, release and queryInterface ([any]).
class Vst3View final : public vst3::IPlugView, public vst3::IPlugViewContentScaleSupport {
 public:
  static constexpr int kPumpMs = 40;

  explicit Vst3View(Vst3Controller& controller);
  Vst3View(const Vst3View&) = delete;
  Vst3View& operator=(const Vst3View&) = delete;

  // FUnknown
  vst3::tresult VST3_API queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_API addRef() override;
  vst3::uint32 VST3_API release() override;
  // IPlugView
  vst3::tresult VST3_API isPlatformTypeSupported(vst3::FIDString type) override;
  vst3::tresult VST3_API attached(void* parent, vst3::FIDString type) override;
  vst3::tresult VST3_API removed() override;
  vst3::tresult VST3_API onWheel(float distance) override;
  vst3::tresult VST3_API onKeyDown(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers) override;
  vst3::tresult VST3_API onKeyUp(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers) override;
  vst3::tresult VST3_API getSize(vst3::ViewRect* size) override;
  vst3::tresult VST3_API onSize(vst3::ViewRect* newSize) override;
  vst3::tresult VST3_API onFocus(vst3::TBool state) override;
  vst3::tresult VST3_API setFrame(vst3::IPlugFrame* frame) override;
  vst3::tresult VST3_API canResize() override;
  vst3::tresult VST3_API checkSizeConstraint(vst3::ViewRect* rect) override;
  // IPlugViewContentScaleSupport: the editor draws at the host's factor.
  vst3::tresult VST3_API setContentScaleFactor(ScaleFactor factor) override;

  // [UI] The editor wants width x height (a new scale): the frame is asked,
  // and the editor takes the size once the host's onSize gives it.
  void RequestSize(int width, int height);

  // [UI] The controller's plug-in changed: the window moves to it.
  void Reopen();
  // [UI] The window goes, for good or until the next attached().
  void Detach();

 private:
  ~Vst3View();
  bool Open();
  void Close();
  void StartPump();
  void StopPump();
  void Tick();
  vst3::ViewRect Size() const;

  Vst3Controller& mController;
  Vst3RefCount mRefs;
  vst3::IPlugFrame* mFrame = nullptr;
  void* mParent = nullptr;      // the host's window while attached
  velmora::IPluginBase* mShown = nullptr;  // whose editor is open
  std::unique_ptr<Vst3PumpDriver> mPump;
  bool mPumping = false;
  int mDescriptor = -1;
  int mRequestedWidth = 0;  // a size asked of the frame and not yet given
  int mRequestedHeight = 0;
};

}  // namespace velmora
