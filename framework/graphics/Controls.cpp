#include "framework/graphics/Controls.h"

#include <cmath>

#include "framework/graphics/IGraphics.h"

namespace velmora {

namespace {

ImageStrip WithFrames(ImageStrip strip) {
  if (strip.n < 1) strip.n = 1;
  return strip;
}

// One frame of the strip at (x, y).
Rect FrameRect(int x, int y, const ImageStrip& strip) {
  return ClampedRect(x, y, int64_t(x) + strip.w, int64_t(y) + strip.h / strip.n);
}

// A movement that cannot be computed (empty rectangle, zero gearing) moves nothing.
double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

}  // namespace

int FrameForValue(double value, int frames) {
  if (frames < 2) return 1;
  const double position = (frames - 1) * value + 0.5;
  if (!(position >= 1.0)) return 1;
  if (position >= double(frames)) return frames;
  return int(position) + 1 > frames ? frames : int(position) + 1;
}

// --- IBitmapControl

IBitmapControl::IBitmapControl(IPluginBase* plugin, int x, int y, int paramIdx, const ImageStrip& strip,
                               const ChannelBlend& blend)
    : IControl(plugin, FrameRect(x, y, WithFrames(strip)), paramIdx, blend), mBitmap(WithFrames(strip)) {}

IBitmapControl::~IBitmapControl() = default;

bool IBitmapControl::Draw(IGraphics& graphics) {
  graphics.DrawImageFrame(mBitmap, mRect, FrameForValue(mValue, mBitmap.n), &mBlend);
  return true;
}

// --- ISwitchControl, IContactControl

void ISwitchControl::MouseDown(int, int, const MouseMods&) {
  mValue += mBitmap.n < 2 ? 1.0 : 1.0 / (mBitmap.n - 1);
  if (mValue > 1.001) mValue = 0.0;
  MarkDirty(true);
}

void ISwitchControl::MouseDoubleClick(int x, int y, const MouseMods& mods) { MouseDown(x, y, mods); }

void IContactControl::MouseUp(int, int, const MouseMods&) {
  mValue = 0.0;
  MarkDirty(true);
}

// --- IKnobControl, IKnobMultiControl

IKnobControl::IKnobControl(IPluginBase* plugin, const Rect& rect, int paramIdx, int direction, double gearing)
    : IControl(plugin, rect, paramIdx), mDirection(direction), mGearing(gearing) {}

void IKnobControl::MouseDrag(int, int, int dx, int dy, const MouseMods& mods) {
  double gearing = mGearing;
  if (mods.c || mods.s) gearing *= 10.0;
  if (mDirection == kVertical) {
    mValue += Finite(double(dy) / double(int64_t(mRect.top) - mRect.bottom) / gearing);
  } else {
    mValue += Finite(double(dx) / double(int64_t(mRect.right) - mRect.left) / gearing);
  }
  MarkDirty(true);
}

void IKnobControl::MouseWheel(int, int, const MouseMods& mods, float delta) {
  mValue += Finite(double(delta) * ((mods.c || mods.s) ? 0.001 : 0.01));
  MarkDirty(true);
}

IKnobMultiControl::IKnobMultiControl(IPluginBase* plugin, int x, int y, int paramIdx, const ImageStrip& strip,
                                     int direction, double gearing)
    : IKnobControl(plugin, FrameRect(x, y, WithFrames(strip)), paramIdx, direction, gearing),
      mBitmap(WithFrames(strip)) {}

IKnobMultiControl::~IKnobMultiControl() = default;

bool IKnobMultiControl::Draw(IGraphics& graphics) {
  graphics.DrawImageFrame(mBitmap, mRect, FrameForValue(mValue, mBitmap.n), &mBlend);
  return true;
}

// --- ITextControl

ITextControl::ITextControl(IPluginBase* plugin, const Rect& rect, const TextStyle& style, const char* text)
    : IControl(plugin, rect, -1), mStr(text ? text : "") {
  mText = style;
}

ITextControl::~ITextControl() = default;

bool ITextControl::Draw(IGraphics& graphics) {
  if (!mStr.empty()) graphics.DrawText(mText, mStr.c_str(), mRect);
  return true;
}

void ITextControl::SetText(const char* text) {
  const char* next = text ? text : "";
  if (mStr == next) return;
  MarkDirty(false);
  mStr = next;
}

}  // namespace velmora
