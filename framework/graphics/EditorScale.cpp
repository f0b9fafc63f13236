#include "framework/graphics/EditorScale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace velmora {

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int ClampToInt(int64_t v) { return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

int SnapScale(double factor) {
  if (!std::isfinite(factor) || factor <= 0.0) return 0;
  int best = kScaleSteps[0];
  double bestDistance = std::abs(factor * 100.0 - best);
  for (int percent : kScaleSteps) {
    const double distance = std::abs(factor * 100.0 - percent);
    if (distance <= bestDistance) {
      best = percent;
      bestDistance = distance;
    }
  }
  return best;
}

bool IsScaleStep(int percent) { return std::find(std::begin(kScaleSteps), std::end(kScaleSteps), percent) != std::end(kScaleSteps); }

int ScaleCoordinate(int v, int percent) {
  if (percent == 100) return v;
  return ClampToInt(FloorDiv(int64_t(v) * percent + 50, 100));
}

int LayoutCoordinate(int q, int percent) {
  if (percent == 100 || percent <= 0) return q;
  return ClampToInt(FloorDiv(int64_t(q) * 100 + 49, percent));
}

Rect ScaleRect(const Rect& r, int percent) {
  if (percent == 100 || r.Empty()) return r;
  return Rect(ScaleCoordinate(r.left, percent), ScaleCoordinate(r.top, percent), ScaleCoordinate(r.right, percent),
              ScaleCoordinate(r.bottom, percent));
}

Rect LayoutRectCovering(const Rect& r, int percent) {
  if (percent == 100 || r.Empty()) return r;
  auto after = [percent](int edge) { return ClampToInt(int64_t(LayoutCoordinate(edge - 1, percent)) + 1); };
  return Rect(LayoutCoordinate(r.left, percent), LayoutCoordinate(r.top, percent), after(r.right), after(r.bottom));
}

int ScaleSources::Effective() const {
  if (mUser) return mUser;
  if (mHost) return mHost;
  if (mSystem) return mSystem;
  return 100;
}

}  // namespace velmora
