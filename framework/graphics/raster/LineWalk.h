#pragma once

// The symmetric line walk: both ends step toward each other, the minor axis
// advancing when the 16.16 accumulator reaches one half. Exposed so that the
// plotting order can be checked.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace velmora {

struct LineWalkSetup {
  bool xMajor = true;
  std::int64_t startMajor = 0, startMinor = 0, endMajor = 0, endMinor = 0;
  std::int64_t step = 0;        // minor length / major length, 16.16
  std::int64_t minorDir = 0;    // -1, 0 or 1 from start to end
  std::int64_t iterations = 0;  // (n + 1) / 2
  bool finalPlot = false;       // n even: the start is plotted once more

  // Minor-axis steps each walker has taken after i iterations: the
  // accumulator stays in [-0x8000, 0x8000), so this is closed-form.
  std::int64_t MinorSteps(std::int64_t i) const { return (i * step + 0x8000) >> 16; }
};

inline LineWalkSetup SetupLineWalk(int x1, int y1, int x2, int y2) {
  LineWalkSetup w;
  const std::int64_t dx = std::int64_t(x2) - x1;
  const std::int64_t dy = std::int64_t(y2) - y1;
  w.xMajor = std::llabs(dx) >= std::llabs(dy);
  std::int64_t a0 = w.xMajor ? x1 : y1, b0 = w.xMajor ? y1 : x1;
  std::int64_t a1 = w.xMajor ? x2 : y2, b1 = w.xMajor ? y2 : x2;
  if (a0 > a1) {
    std::swap(a0, a1);
    std::swap(b0, b1);
  }
  const std::int64_t n = a1 - a0;
  w.startMajor = a0;
  w.startMinor = b0;
  w.endMajor = a1;
  w.endMinor = b1;
  w.step = n == 0 ? 0 : (std::llabs(b1 - b0) << 16) / n;
  w.minorDir = (b1 > b0) - (b1 < b0);
  w.iterations = (n + 1) / 2;
  w.finalPlot = n % 2 == 0;
  return w;
}

// The whole walk in plotting order; plot(x, y) for every pixel.
template <class Plot>
void WalkLine(int x1, int y1, int x2, int y2, Plot&& plot) {
  const LineWalkSetup w = SetupLineWalk(x1, y1, x2, y2);
  std::int64_t sMaj = w.startMajor, sMin = w.startMinor, eMaj = w.endMajor, eMin = w.endMinor, acc = 0;
  auto emit = [&](std::int64_t major, std::int64_t minor) {
    plot(int(w.xMajor ? major : minor), int(w.xMajor ? minor : major));
  };
  for (std::int64_t i = 0; i < w.iterations; ++i) {
    emit(sMaj, sMin);
    emit(eMaj, eMin);
    if (acc + w.step >= 0x8000) {
      sMin += w.minorDir;
      eMin -= w.minorDir;
      acc += w.step - 0x10000;
    } else {
      acc += w.step;
    }
    ++sMaj;
    --eMaj;
  }
  if (w.finalPlot) emit(sMaj, sMin);
}

// The same walk restricted to [0, width) x [0, height), in the same order.
// Only iterations where a walker is inside the bitmap along the major axis
// are visited, so far-off end points cost nothing.
template <class Plot>
void WalkLineClipped(int x1, int y1, int x2, int y2, int width, int height, Plot&& plot) {
  if (width <= 0 || height <= 0) return;
  const LineWalkSetup w = SetupLineWalk(x1, y1, x2, y2);
  const std::int64_t majorSize = w.xMajor ? width : height;
  const std::int64_t minorSize = w.xMajor ? height : width;
  const std::int64_t last = w.iterations - 1;
  const std::int64_t lo1 = std::max<std::int64_t>(0, -w.startMajor);
  const std::int64_t hi1 = std::min(last, majorSize - 1 - w.startMajor);
  const std::int64_t lo2 = std::max<std::int64_t>(0, w.endMajor - (majorSize - 1));
  const std::int64_t hi2 = std::min(last, w.endMajor);
  constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::max();
  auto next = [&](std::int64_t from) {
    std::int64_t best = kNone;
    if (lo1 <= hi1 && from <= hi1) best = std::min(best, std::max(from, lo1));
    if (lo2 <= hi2 && from <= hi2) best = std::min(best, std::max(from, lo2));
    return best;
  };
  auto emit = [&](std::int64_t major, std::int64_t minor) {
    if (major < 0 || major >= majorSize || minor < 0 || minor >= minorSize) return;
    plot(int(w.xMajor ? major : minor), int(w.xMajor ? minor : major));
  };
  for (std::int64_t i = next(0); i != kNone; i = next(i + 1)) {
    const std::int64_t m = w.MinorSteps(i) * w.minorDir;
    emit(w.startMajor + i, w.startMinor + m);
    emit(w.endMajor - i, w.endMinor - m);
  }
  if (w.finalPlot) emit(w.startMajor + w.iterations, w.startMinor + w.MinorSteps(w.iterations) * w.minorDir);
}

}  // namespace velmora
