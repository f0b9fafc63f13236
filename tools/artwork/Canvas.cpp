#include "tools/artwork/Canvas.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "framework/graphics/EditorScale.h"
#include "framework/graphics/raster/FontCache.h"
#include "framework/graphics/raster/PixelOps.h"

namespace velmora::artwork {

namespace {

constexpr double kPi = 3.14159265358979323846;

double Length(double x, double y) { return std::sqrt(x * x + y * y); }

int Channel(double v) { return int(std::lround(std::clamp(v, 0.0, 255.0))); }

Bounds Grown(Bounds b, double by) { return {b.x0 - by, b.y0 - by, b.x1 + by, b.y1 + by}; }

Bounds Joined(const Bounds& a, const Bounds& b) {
  return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

// Samples per pixel side: 16 samples, each with its own sub-pixel ramp, give
// smooth edges and keep sharp corners sharp.
constexpr int kSamples = 4;

// Pixel (px, py) of a canvas at scale, whose shapes are in layout pixels:
// positions divide by the scale, distances multiply by it.
double Coverage(const Shape& shape, int px, int py, double scale) {
  // A pixel whose centre is farther than half its diagonal from the edge is
  // wholly inside or outside.
  const double centre = shape.distance((px + 0.5) / scale, (py + 0.5) / scale) * scale;
  if (centre >= 0.75) return 0.0;
  if (centre <= -0.75) return 1.0;
  double sum = 0.0;
  for (int j = 0; j < kSamples; ++j) {
    for (int i = 0; i < kSamples; ++i) {
      const double d =
          shape.distance((px + (i + 0.5) / kSamples) / scale, (py + (j + 0.5) / kSamples) / scale) * scale;
      sum += std::clamp(0.5 - d * kSamples, 0.0, 1.0);
    }
  }
  return sum / (kSamples * kSamples);
}

CachedFont* FontFor(const Font& font) {
  FontRequest request;
  request.face = "Arial";
  request.size = font.size;
  request.style = font.bold ? 1 : 0;
  CachedFont* cached = FontCache::Get(request);
  if (!cached) throw std::runtime_error("no font for Arial " + std::to_string(font.size));
  return cached;
}

int MeasureWidth(CachedFont& font, const std::string& text) {
  MemBitmap none;
  RasterRect r;
  font.RenderText(none, text.c_str(), int(text.size()), r, kTextMeasure);
  return r.right - r.left;
}

// Characters of a UTF-8 text, each as its own byte sequence.
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> out;
  for (char c : text) {
    if (out.empty() || (static_cast<unsigned char>(c) & 0xc0) != 0x80) out.emplace_back();
    out.back() += c;
  }
  return out;
}

}  // namespace

Colour Mix(const Colour& from, const Colour& to, double t) {
  return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
          from.a + (to.a - from.a) * t};
}

Colour WithAlpha(Colour c, double a) {
  c.a = a;
  return c;
}

Pixel ToPixel(const Colour& c) { return MakePixel(Channel(c.a * 255.0), Channel(c.r), Channel(c.g), Channel(c.b)); }

Shape RoundRect(double x0, double y0, double x1, double y1, double radius) {
  const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const double hx = (x1 - x0) / 2, hy = (y1 - y0) / 2;
  const double r = std::min({radius, hx, hy});
  return {[=](double x, double y) {
            const double qx = std::abs(x - cx) - hx + r;
            const double qy = std::abs(y - cy) - hy + r;
            return Length(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - r;
          },
          {x0, y0, x1, y1}};
}

Shape Disc(double cx, double cy, double radius) {
  return {[=](double x, double y) { return Length(x - cx, y - cy) - radius; },
          {cx - radius, cy - radius, cx + radius, cy + radius}};
}

Shape Ring(double cx, double cy, double radius, double width) {
  const double outer = radius + width / 2;
  return {[=](double x, double y) { return std::abs(Length(x - cx, y - cy) - radius) - width / 2; },
          {cx - outer, cy - outer, cx + outer, cy + outer}};
}

Shape Polygon(std::vector<Point> points) {
  double area = 0;
  Bounds b{1e9, 1e9, -1e9, -1e9};
  for (std::size_t i = 0; i < points.size(); ++i) {
    const Point& p = points[i];
    const Point& q = points[(i + 1) % points.size()];
    area += p.x * q.y - q.x * p.y;
    b = {std::min(b.x0, p.x), std::min(b.y0, p.y), std::max(b.x1, p.x), std::max(b.y1, p.y)};
  }
  // Outward unit normals and offsets of the edges.
  struct Edge {
    double nx, ny, c;
  };
  std::vector<Edge> edges;
  const double sign = area > 0 ? 1.0 : -1.0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const Point& p = points[i];
    const Point& q = points[(i + 1) % points.size()];
    const double ex = q.x - p.x, ey = q.y - p.y;
    const double len = Length(ex, ey);
    if (len == 0) continue;
    const double nx = sign * ey / len, ny = -sign * ex / len;
    edges.push_back({nx, ny, nx * p.x + ny * p.y});
  }
  return {[edges](double x, double y) {
            double d = -1e9;
            for (const Edge& e : edges) d = std::max(d, e.nx * x + e.ny * y - e.c);
            return d;
          },
          b};
}

Shape Segment(Point a, Point b, double width) {
  const double w = width / 2;
  return {[=](double x, double y) {
            const double px = x - a.x, py = y - a.y, bx = b.x - a.x, by = b.y - a.y;
            const double len2 = bx * bx + by * by;
            const double t = len2 > 0 ? std::clamp((px * bx + py * by) / len2, 0.0, 1.0) : 0.0;
            return Length(px - bx * t, py - by * t) - w;
          },
          {std::min(a.x, b.x) - w, std::min(a.y, b.y) - w, std::max(a.x, b.x) + w, std::max(a.y, b.y) + w}};
}

Shape Arc(double cx, double cy, double radius, double width, double a0, double a1) {
  const double span = a1 - a0;
  const Point p0{cx + radius * std::sin(a0), cy - radius * std::cos(a0)};
  const Point p1{cx + radius * std::sin(a1), cy - radius * std::cos(a1)};
  const double outer = radius + width / 2;
  return {[=](double x, double y) {
            double t = std::atan2(x - cx, -(y - cy)) - a0;
            t = std::fmod(t, 2 * kPi);
            if (t < 0) t += 2 * kPi;
            if (t <= span) return std::abs(Length(x - cx, y - cy) - radius) - width / 2;
            return std::min(Length(x - p0.x, y - p0.y), Length(x - p1.x, y - p1.y)) - width / 2;
          },
          {cx - outer, cy - outer, cx + outer, cy + outer}};
}

Shape Union(const Shape& a, const Shape& b) {
  return {[a, b](double x, double y) { return std::min(a.distance(x, y), b.distance(x, y)); },
          Joined(a.bounds, b.bounds)};
}

Shape Subtract(const Shape& a, const Shape& b) {
  return {[a, b](double x, double y) { return std::max(a.distance(x, y), -b.distance(x, y)); }, a.bounds};
}

Shape Intersect(const Shape& a, const Shape& b) {
  return {[a, b](double x, double y) { return std::max(a.distance(x, y), b.distance(x, y)); }, a.bounds};
}

Shape Offset(const Shape& s, double dx, double dy) {
  return {[s, dx, dy](double x, double y) { return s.distance(x - dx, y - dy); },
          {s.bounds.x0 + dx, s.bounds.y0 + dy, s.bounds.x1 + dx, s.bounds.y1 + dy}};
}

Shape Grow(const Shape& s, double by) {
  return {[s, by](double x, double y) { return s.distance(x, y) - by; }, Grown(s.bounds, std::max(by, 0.0))};
}

Paint Solid(Colour c) {
  return [c](double, double) { return c; };
}

Paint VerticalGradient(double y0, Colour c0, double y1, Colour c1) {
  return [=](double, double y) { return Mix(c0, c1, std::clamp((y - y0) / (y1 - y0), 0.0, 1.0)); };
}

int TextAscent(const Font& font) { return FontFor(font)->Ascent(); }

Mask TextMask(const std::string& text, const Font& font, int tracking) {
  CachedFont& cached = *FontFor(font);
  const std::vector<std::string> chars = Characters(text);
  std::vector<int> widths;
  int advance = 0;
  for (const std::string& c : chars) {
    widths.push_back(tracking ? MeasureWidth(cached, c) : 0);
    advance += widths.back();
  }
  if (tracking == 0)
    advance = MeasureWidth(cached, text);
  else if (!chars.empty())
    advance += tracking * int(chars.size() - 1);

  // Glyphs may reach past their advance (italic overhangs, 'j'); a margin
  // keeps them whole.
  const int pad = std::max(4, font.size / 3);
  const int lineHeight = cached.LineHeight();
  MemBitmap image(advance + 2 * pad, lineHeight + 2 * pad);
  FillRect(image, 0, 0, image.Width(), image.Height(), MakePixel(255, 0, 0, 0), 1.0f, kBlendCopy);
  cached.SetTextColor(MakePixel(255, 255, 255, 255));
  cached.SetCombineMode(kBlendCopy, 1.0f);
  if (tracking == 0) {
    RasterRect r{pad, pad, pad + advance, pad + lineHeight};
    cached.RenderText(image, text.c_str(), int(text.size()), r, kTextNoClip);
  } else {
    int x = pad;
    for (std::size_t i = 0; i < chars.size(); ++i) {
      RasterRect r{x, pad, x + widths[i], pad + lineHeight};
      cached.RenderText(image, chars[i].c_str(), int(chars[i].size()), r, kTextNoClip);
      x += widths[i] + tracking;
    }
  }

  Mask mask;
  mask.width = image.Width();
  mask.height = image.Height();
  mask.originX = pad;
  mask.originY = pad;
  mask.advance = advance;
  mask.coverage.resize(std::size_t(mask.width) * std::size_t(mask.height));
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      mask.coverage[std::size_t(y) * std::size_t(mask.width) + std::size_t(x)] =
          float(PixelRed(image.Row(y)[x])) / 255.0f;
    }
  }
  return mask;
}

Mask::Ink Mask::InkBounds() const {
  Ink ink{width, height, 0, 0};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (At(x, y) <= 0.1f) continue;
      ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1), std::max(ink.bottom, y + 1)};
    }
  }
  return ink;
}

Mask RotateLeft(const Mask& mask) {
  Mask out;
  out.width = mask.height;
  out.height = mask.width;
  out.coverage.resize(mask.coverage.size());
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      out.coverage[std::size_t(y) * std::size_t(out.width) + std::size_t(x)] = mask.At(mask.width - 1 - y, x);
    }
  }
  // The text's top-left corner ends at the bottom-left.
  out.originX = mask.originY;
  out.originY = mask.width - mask.originX;
  out.advance = mask.advance;
  return out;
}

Canvas::Canvas(int width, int height, Colour fill, int percent)
    : bitmap_(ScaleCoordinate(width, percent), ScaleCoordinate(height, percent)), percent_(percent) {
  if (bitmap_.Width() != ScaleCoordinate(width, percent) || bitmap_.Height() != ScaleCoordinate(height, percent))
    throw std::runtime_error("canvas too large");
  Clear(fill);
}

void Canvas::Clear(const Colour& c) { velmora::FillRect(bitmap_, 0, 0, Width(), Height(), ToPixel(c), 1.0f, kBlendCopy); }

int Canvas::Px(int v) const { return ScaleCoordinate(v, percent_); }

Mask Canvas::ScaledTextMask(const std::string& text, const Font& font, int tracking) const {
  return TextMask(text, Font{Px(font.size), font.bold}, Px(tracking));
}

Colour Canvas::At(int x, int y) const {
  const Pixel p = bitmap_.Row(y)[x];
  return Rgb(PixelRed(p), PixelGreen(p), PixelBlue(p), PixelAlpha(p) / 255.0);
}

void Canvas::Blend(int x, int y, const Colour& c, double coverage) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  const double sa = std::clamp(c.a * coverage, 0.0, 1.0);
  if (sa <= 0) return;
  const Colour d = At(x, y);
  const double keep = d.a * (1 - sa);
  const double oa = sa + keep;
  Colour out{(c.r * sa + d.r * keep) / oa, (c.g * sa + d.g * keep) / oa, (c.b * sa + d.b * keep) / oa, oa};
  bitmap_.Row(y)[x] = ToPixel(out);
}

void Canvas::Fill(const Shape& shape, const Paint& paint, double opacity) {
  const double s = Scale();
  const Bounds b = Grown(shape.bounds, 1.0);
  const int x0 = std::max(0, int(std::floor(b.x0 * s))), y0 = std::max(0, int(std::floor(b.y0 * s)));
  const int x1 = std::min(Width(), int(std::ceil(b.x1 * s))), y1 = std::min(Height(), int(std::ceil(b.y1 * s)));
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const double c = Coverage(shape, x, y, s);
      if (c > 0) Blend(x, y, paint((x + 0.5) / s, (y + 0.5) / s), c * opacity);
    }
  }
}

void Canvas::Shadow(const Shape& shape, const Colour& c, double blur) {
  const double s = Scale();
  const Bounds b = Grown(shape.bounds, blur + 1.0);
  const int x0 = std::max(0, int(std::floor(b.x0 * s))), y0 = std::max(0, int(std::floor(b.y0 * s)));
  const int x1 = std::min(Width(), int(std::ceil(b.x1 * s))), y1 = std::min(Height(), int(std::ceil(b.y1 * s)));
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const double d = shape.distance((x + 0.5) / s, (y + 0.5) / s);
      const double t = std::clamp(0.5 - d / blur, 0.0, 1.0);
      Blend(x, y, c, t * t * (3 - 2 * t));
    }
  }
}

void Canvas::FillRect(int x, int y, int width, int height, const Colour& c) {
  velmora::FillRect(bitmap_, Px(x), Px(y), Px(x + width) - Px(x), Px(y + height) - Px(y), ToPixel(c), 1.0f,
                    kBlendCopy);
}

void Canvas::DrawMask(const Mask& mask, int x, int y, const Colour& c) {
  for (int my = 0; my < mask.height; ++my) {
    for (int mx = 0; mx < mask.width; ++mx) {
      const float v = mask.At(mx, my);
      if (v > 0) Blend(x + mx, y + my, c, v);
    }
  }
}

int Canvas::Text(const std::string& text, const Font& font, int x, int top, Align align, const Colour& c,
                 int tracking) {
  const Mask mask = ScaledTextMask(text, font, tracking);
  int left = Px(x);
  if (align == Align::kCentre)
    left = Px(x) - mask.advance / 2;
  else if (align == Align::kRight)
    left = Px(x) - mask.advance;
  DrawMask(mask, left - mask.originX, Px(top) - mask.originY, c);
  return percent_ == 100 ? mask.advance : int(std::lround(mask.advance / Scale()));
}

void Canvas::CopyFrom(const Canvas& from, int fromX, int fromY, int width, int height, int x, int y) {
  Blit(bitmap_, from.bitmap_, Px(x), Px(y), from.Px(fromX), from.Px(fromY), Px(x + width) - Px(x),
       Px(y + height) - Px(y), 1.0f, kBlendCopy);
}

}  // namespace velmora::artwork
