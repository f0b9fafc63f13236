// The VST 3 adapter on Linux: the editor embeds in an X11 window and pumps
// from the host's run loop, asked of the view's frame: a timer, and the X
// connection's descriptor whenever it turns readable.
#include <unistd.h>

#include "framework/plugin/vst3/Vst3Link.h"
#include "framework/plugin/vst3/Vst3Support.h"
#include "framework/plugin/vst3/Vst3View.h"

namespace velmora {

namespace {

using vst3::linux_loop::IEventHandler;
using vst3::linux_loop::IRunLoop;
using vst3::linux_loop::ITimerHandler;

// The handler the run loop holds (counted, as hosts keep it); it outlives
// the driver when a host lets go late, and then ticks nothing.
class RunLoopHandler final : public ITimerHandler, public IEventHandler {
 public:
  explicit RunLoopHandler(std::function<void()> tick) : mTick(std::move(tick)) {}

  vst3::tresult VST3_API queryInterface(const vst3::TUID iid, void** obj) override {
    if (!obj) return vst3::kInvalidArgument;
    if (Offer<vst3::FUnknown>(static_cast<ITimerHandler*>(this), iid, obj) || Offer<ITimerHandler>(this, iid, obj) ||
        Offer<IEventHandler>(this, iid, obj))
      return vst3::kResultOk;
    *obj = nullptr;
    return vst3::kNoInterface;
  }
  vst3::uint32 VST3_API addRef() override { return mRefs.Add(); }
  vst3::uint32 VST3_API release() override {
    const uint32_t count = mRefs.Drop();
    if (count == 0) delete this;
    return count;
  }
  void VST3_API onTimer() override { Run(); }
  void VST3_API onFDIsSet(vst3::linux_loop::FileDescriptor) override { Run(); }
  void Forget() { mTick = nullptr; }

 private:
  ~RunLoopHandler() = default;
  void Run() {
    try {
      if (mTick) mTick();
    } catch (...) {
    }
  }
  Vst3RefCount mRefs;
  std::function<void()> mTick;
};

class RunLoopDriver final : public Vst3PumpDriver {
 public:
  explicit RunLoopDriver(std::function<void()> tick) : mTick(std::move(tick)) {}
  ~RunLoopDriver() override { Stop(); }

  bool Start(vst3::IPlugFrame* frame, int descriptor) override {
    Stop();
    void* found = nullptr;
    if (!frame || frame->queryInterface(IRunLoop::kIid.bytes, &found) != vst3::kResultOk || !found) return false;
    mLoop = static_cast<IRunLoop*>(found);
    mHandler = new RunLoopHandler(mTick);
    mTimer = mLoop->registerTimer(mHandler, Vst3View::kPumpMs) == vst3::kResultOk;
    if (descriptor >= 0) mEvents = mLoop->registerEventHandler(mHandler, descriptor) == vst3::kResultOk;
    if (mTimer || mEvents) return true;
    Stop();
    return false;
  }

  void Stop() override {
    if (mLoop && mTimer) mLoop->unregisterTimer(mHandler);
    if (mLoop && mEvents) mLoop->unregisterEventHandler(mHandler);
    mTimer = mEvents = false;
    if (mHandler) {
      mHandler->Forget();
      mHandler->release();
    }
    mHandler = nullptr;
    if (mLoop) mLoop->release();
    mLoop = nullptr;
  }

 private:
  std::function<void()> mTick;
  IRunLoop* mLoop = nullptr;
  RunLoopHandler* mHandler = nullptr;
  bool mTimer = false;
  bool mEvents = false;
};

}  // namespace

std::unique_ptr<Vst3PumpDriver> MakeVst3PumpDriver(std::function<void()> tick) {
  return std::make_unique<RunLoopDriver>(std::move(tick));
}

const char* Vst3WindowType() { return vst3::kPlatformTypeX11EmbedWindowID; }

uint64_t CurrentProcessId() { return static_cast<uint64_t>(getpid()); }

}  // namespace velmora
