#include "editor/PositionBar.h"

#include <algorithm>
#include <cstdint>

#include "editor/EditorStyle.h"
#include "framework/graphics/IGraphics.h"

namespace velmora {
namespace {

int Clamped(int first, int shown, int count) { return std::clamp(first, 0, std::max(count - shown, 0)); }

}  // namespace

PositionBar::PositionBar(int x, int top, int height, int hitLeft, int hitRight)
    : mX(x), mTop(top), mHeight(height), mHitLeft(hitLeft), mHitRight(hitRight) {}

PositionBar::Thumb PositionBar::ThumbAt(int first, int shown, int count) const {
  // At least 8 pixels, so that a long list's thumb stays visible and can be grabbed.
  const int length = std::max(mHeight * shown / std::max(count, 1), 8);
  return {mTop + (mHeight - length) * first / std::max(count - shown, 1), length};
}

bool PositionBar::Hits(int x, int y, int shown, int count) const {
  return count > shown && x >= mHitLeft && x < mHitRight && y >= mTop && y < mTop + mHeight;
}

int PositionBar::Press(int y, int first, int shown, int count) {
  const Thumb thumb = ThumbAt(first, shown, count);
  if (y < thumb.top) return Clamped(first - shown, shown, count);
  if (y >= thumb.top + thumb.length) return Clamped(first + shown, shown, count);
  mHeld = true;
  mPressY = y;
  mPressFirst = first;
  return first;
}

int PositionBar::Drag(int y, int first, int shown, int count) const {
  const int travel = mHeight - ThumbAt(first, shown, count).length;
  if (!mHeld || travel <= 0) return first;
  // Rounded to the nearest entry, alike up and down.
  const int64_t scaled = 2 * int64_t(y - mPressY) * (count - shown);
  const int64_t steps = scaled >= 0 ? (scaled + travel) / (2 * travel) : -((travel - scaled) / (2 * travel));
  return Clamped(int(std::clamp<int64_t>(mPressFirst + steps, 0, count)), shown, count);
}

void PositionBar::Draw(IGraphics& graphics, int first, int shown, int count) const {
  if (count <= shown || mHeight <= 0) return;
  graphics.FillRectangle(style::kScrollTrack, Rect(mX, mTop, mX + kWidth, mTop + mHeight));
  const Thumb thumb = ThumbAt(first, shown, count);
  graphics.FillRectangle(style::kScrollThumb, Rect(mX, thumb.top, mX + kWidth, thumb.top + thumb.length));
}

}  // namespace velmora
