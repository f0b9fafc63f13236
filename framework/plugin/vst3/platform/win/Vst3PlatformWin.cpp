// The VST 3 adapter on Windows: the editor is a child window with its own
// message loop; the view's checks run from a timer of the UI thread's loop.
#include <windows.h>

#include <map>
#include <mutex>

#include "framework/plugin/vst3/Vst3Link.h"
#include "framework/plugin/vst3/Vst3View.h"

namespace velmora {

namespace {

class TimerDriver;

// Thread timers carry no data: the driver is found by the timer's id.
std::mutex& TimersLock() {
  static std::mutex lock;
  return lock;
}
std::map<UINT_PTR, TimerDriver*>& Timers() {
  static std::map<UINT_PTR, TimerDriver*> timers;
  return timers;
}

class TimerDriver final : public Vst3PumpDriver {
 public:
  explicit TimerDriver(std::function<void()> tick) : mTick(std::move(tick)) {}
  ~TimerDriver() override { Stop(); }

  bool Start(vst3::IPlugFrame* /*frame*/, int /*descriptor*/) override {
    Stop();
    mTimer = SetTimer(nullptr, 0, Vst3View::kPumpMs, &TimerDriver::OnTimer);
    if (!mTimer) return false;
    std::lock_guard<std::mutex> guard(TimersLock());
    Timers()[mTimer] = this;
    return true;
  }

  void Stop() override {
    if (!mTimer) return;
    KillTimer(nullptr, mTimer);
    std::lock_guard<std::mutex> guard(TimersLock());
    Timers().erase(mTimer);
    mTimer = 0;
  }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    TimerDriver* driver = nullptr;
    {
      std::lock_guard<std::mutex> guard(TimersLock());
      const auto found = Timers().find(id);
      if (found != Timers().end()) driver = found->second;
    }
    try {
      if (driver && driver->mTick) driver->mTick();
    } catch (...) {
    }
  }

  std::function<void()> mTick;
  UINT_PTR mTimer = 0;
};

}  // namespace

std::unique_ptr<Vst3PumpDriver> MakeVst3PumpDriver(std::function<void()> tick) {
  return std::make_unique<TimerDriver>(std::move(tick));
}

const char* Vst3WindowType() { return vst3::kPlatformTypeHWND; }

uint64_t CurrentProcessId() { return static_cast<uint64_t>(GetCurrentProcessId()); }

}  // namespace velmora
