#include "framework/graphics/raster/ImageScale.h"

#include "framework/graphics/EditorScale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace velmora {

namespace {

// A source cell and its share of a result cell, in 1/256ths.
struct Tap {
  int index;
  int weight;
};

// For each of count result cells, the source cells of [i, i + 1) x ratio
// and the share of each, the shares of a cell adding up to 256.
std::vector<std::vector<Tap>> AreaTaps(int count, int sourceCount) {
  const double ratio = double(sourceCount) / count;
  std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double from = i * ratio, to = (i + 1) * ratio;
    std::vector<Tap>& cell = taps[std::size_t(i)];
    int given = 0;
    for (int s = int(std::floor(from)); s < sourceCount && s < to; ++s) {
      const double share = std::min<double>(to, s + 1) - std::max<double>(from, s);
      const int weight = int(std::lround(share / ratio * 256));
      if (weight <= 0) continue;
      cell.push_back({s, weight});
      given += weight;
    }
    if (!cell.empty()) cell.back().weight += 256 - given;  // rounding goes to the last
  }
  return taps;
}

bool Splits(const RasterBitmap& source, int frames, int frameWidth, int frameHeight) {
  return source.Bits() && frames > 0 && frameWidth > 0 && frameHeight > 0 && source.Width() > 0 &&
         source.Height() >= frames && source.Height() % frames == 0;
}

// One source row shrunk across: per result column, alpha and the colours
// times alpha, weighted in 256ths (alpha up to 255 x 256, a colour up to
// 255 x 255 x 256, so that a second pass of 256ths still fits 32 bits).
struct PremultipliedRow {
  int source = -1;
  std::vector<std::uint32_t> values;  // alpha, red, green, blue per column
};

void ShrinkRow(const Pixel* line, const std::vector<std::vector<Tap>>& columns, PremultipliedRow& out) {
  out.values.resize(columns.size() * 4);
  std::uint32_t* v = out.values.data();
  for (const std::vector<Tap>& cell : columns) {
    std::uint32_t alpha = 0, red = 0, green = 0, blue = 0;
    for (const Tap& tap : cell) {
      const Pixel p = line[tap.index];
      const std::uint32_t a = std::uint32_t(tap.weight) * std::uint32_t(PixelAlpha(p));
      alpha += a;
      red += a * std::uint32_t(PixelRed(p));
      green += a * std::uint32_t(PixelGreen(p));
      blue += a * std::uint32_t(PixelBlue(p));
    }
    v[0] = alpha;
    v[1] = red;
    v[2] = green;
    v[3] = blue;
    v += 4;
  }
}

// The rows a result row needs, shrunk across once each: result rows take
// their source rows in order, so a few kept rows suffice.
class RowCache {
 public:
  RowCache(const RasterBitmap& source, const std::vector<std::vector<Tap>>& columns)
      : mSource(source), mColumns(columns), mRows(4) {}
  const PremultipliedRow& Row(int y) {
    for (const PremultipliedRow& row : mRows) {
      if (row.source == y) return row;
    }
    PremultipliedRow& row = mRows[std::size_t(mNext++) % mRows.size()];
    ShrinkRow(mSource.Row(y), mColumns, row);
    row.source = y;
    return row;
  }

 private:
  const RasterBitmap& mSource;
  const std::vector<std::vector<Tap>>& mColumns;
  std::vector<PremultipliedRow> mRows;
  int mNext = 0;
};

Pixel Unpremultiplied(const std::uint32_t sum[4]) {
  const std::uint32_t alpha = sum[0];
  if (alpha == 0) return 0;
  auto colour = [&](std::uint32_t v) { return int(std::min<std::uint32_t>((v + alpha / 2) / alpha, 255)); };
  return MakePixel(int(std::min<std::uint32_t>((alpha + 32768) >> 16, 255)), colour(sum[1]), colour(sum[2]),
                   colour(sum[3]));
}

}  // namespace

// Across, then down, each pass by the cells' shares of the source.
std::unique_ptr<MemBitmap> ShrinkFrames(const RasterBitmap& source, int frames, int frameWidth, int frameHeight) {
  if (!Splits(source, frames, frameWidth, frameHeight)) return nullptr;
  auto out = std::make_unique<MemBitmap>(frameWidth, frameHeight * frames);
  if (out->Width() != frameWidth || !out->Bits()) return nullptr;
  const int sourceHeight = source.Height() / frames;
  const auto columns = AreaTaps(frameWidth, source.Width());
  const auto rows = AreaTaps(frameHeight, sourceHeight);
  RowCache cache(source, columns);
  for (int f = 0; f < frames; ++f) {
    for (int y = 0; y < frameHeight; ++y) {
      const std::vector<Tap>& taps = rows[std::size_t(y)];
      std::vector<const PremultipliedRow*> parts;
      for (const Tap& tap : taps) parts.push_back(&cache.Row(f * sourceHeight + tap.index));
      Pixel* target = out->Row(f * frameHeight + y);
      for (int x = 0; x < frameWidth; ++x) {
        std::uint32_t sum[4] = {0, 0, 0, 0};
        for (std::size_t i = 0; i < parts.size(); ++i) {
          const std::uint32_t* v = parts[i]->values.data() + std::size_t(x) * 4;
          const std::uint32_t w = std::uint32_t(taps[i].weight);
          for (int c = 0; c < 4; ++c) sum[c] += w * v[c];
        }
        target[x] = Unpremultiplied(sum);
      }
    }
  }
  return out;
}

std::unique_ptr<MemBitmap> NearestFrames(const RasterBitmap& source, int frames, int percent) {
  if (frames <= 0 || source.Height() % frames != 0) return nullptr;
  const int sourceWidth = source.Width(), sourceHeight = source.Height() / frames;
  const int frameWidth = ScaleCoordinate(sourceWidth, percent), frameHeight = ScaleCoordinate(sourceHeight, percent);
  if (!Splits(source, frames, frameWidth, frameHeight)) return nullptr;
  auto out = std::make_unique<MemBitmap>(frameWidth, frameHeight * frames);
  if (out->Width() != frameWidth || !out->Bits()) return nullptr;
  for (int f = 0; f < frames; ++f) {
    for (int y = 0; y < frameHeight; ++y) {
      const Pixel* line = source.Row(f * sourceHeight + LayoutCoordinate(y, percent));
      Pixel* target = out->Row(f * frameHeight + y);
      for (int x = 0; x < frameWidth; ++x) target[x] = line[LayoutCoordinate(x, percent)];
    }
  }
  return out;
}

}  // namespace velmora
