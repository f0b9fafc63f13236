// The editor's scale: its three sources, the request to the host while the
// window is open, and the surfaces that follow on the editor's thread.
#include "framework/graphics/IGraphics.h"
#include "framework/plugin/IPluginBase.h"

namespace velmora {

void IGraphics::SetHostScale(double factor) {
  {
    std::lock_guard<std::mutex> guard(mScaleLock);
    mSources.SetHost(SnapScale(factor));
  }
  FollowScaleSources();
}

void IGraphics::SetUserScale(int percent) {
  {
    std::lock_guard<std::mutex> guard(mScaleLock);
    mSources.SetUser(percent);
  }
  FollowScaleSources();
}

int IGraphics::UserScale() const {
  std::lock_guard<std::mutex> guard(mScaleLock);
  return mSources.User();
}

void IGraphics::SetSystemScale(int percent) {
  {
    std::lock_guard<std::mutex> guard(mScaleLock);
    if (percent == mSources.System()) return;
    mSources.SetSystem(percent);
  }
  FollowScaleSources();
}

int IGraphics::PendingScale() const {
  std::lock_guard<std::mutex> guard(mScaleLock);
  return mPendingPercent;
}

// Without a window there is no host window to keep in step: the size holds
// at once and the adapter only hears of it. With one, the host decides.
void IGraphics::FollowScaleSources() {
  int target = 0;
  bool ask = false;
  {
    std::lock_guard<std::mutex> guard(mScaleLock);
    target = mSources.Effective();
    if (target == mPercent.load()) {
      mPendingPercent = 0;
      return;
    }
    ask = mWindowOpened.load();
    if (ask) {
      mPendingPercent = target;
    } else {
      mPendingPercent = 0;
      mPercent.store(target);
    }
  }
  if (!mPlugin) return;
  // Outside our lock: a host that agrees calls HostResized before returning.
  mPlugin->OnEditorSizeChanged(ScaleCoordinate(mWidth, target), ScaleCoordinate(mHeight, target));
}

void IGraphics::HostResized(int width, int height) {
  std::lock_guard<std::mutex> guard(mScaleLock);
  const int asked = mPendingPercent;
  if (asked == 0 || width != ScaleCoordinate(mWidth, asked) || height != ScaleCoordinate(mHeight, asked)) return;
  mPendingPercent = 0;
  mPercent.store(asked);
}

void IGraphics::OnWindowClosed() {
  mWindowOpened.store(false);
  bool taken = false;
  {
    std::lock_guard<std::mutex> guard(mScaleLock);
    if (mPendingPercent != 0) {
      mPercent.store(mPendingPercent);
      mPendingPercent = 0;
      taken = true;
    }
  }
  if (taken && mPlugin) mPlugin->OnEditorSizeChanged(Width(), Height());
}

bool IGraphics::UpdateSurfaces() {
  if (!mDrawBitmap || mSurfacePercent == mPercent.load()) return false;
  CreateSurfaces();
  for (const auto& control : mControls) control->MarkDirty(false);
  return true;
}

}  // namespace velmora
