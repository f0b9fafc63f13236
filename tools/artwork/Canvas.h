#pragma once

// Anti-aliased drawing for the artwork generator. The raster library draws
// hard-edged pixels, which is what the controls need at run time; the
// pictures want smooth edges, so shapes here are signed distance functions
// sampled several times per pixel and blended into a MemBitmap.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/raster/MemBitmap.h"

namespace velmora::artwork {

// Straight-alpha colour: channels 0..255, alpha 0..1.
struct Colour {
  double r = 0, g = 0, b = 0, a = 1;
};

constexpr Colour Rgb(int r, int g, int b, double a = 1.0) { return Colour{double(r), double(g), double(b), a}; }
Colour Mix(const Colour& from, const Colour& to, double t);
Colour WithAlpha(Colour c, double a);
Pixel ToPixel(const Colour& c);

struct Point {
  double x = 0, y = 0;
};

// Continuous pixel coordinates: pixel (x, y) covers [x, x + 1) x [y, y + 1).
struct Bounds {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// Signed distance in pixels, negative inside. Combinations may
// underestimate the distance; sampling only needs it never to overestimate.
struct Shape {
  std::function<double(double, double)> distance;
  Bounds bounds;
};

Shape RoundRect(double x0, double y0, double x1, double y1, double radius);
Shape Disc(double cx, double cy, double radius);
// A band of the given width centred on the circle of this radius.
Shape Ring(double cx, double cy, double radius, double width);
// Convex polygon, either winding; corners stay sharp.
Shape Polygon(std::vector<Point> points);
// A stroke with round caps.
Shape Segment(Point a, Point b, double width);
// A stroke along a circle from angle a0 to a1 (radians, 0 = up, clockwise),
// with round caps.
Shape Arc(double cx, double cy, double radius, double width, double a0, double a1);
Shape Union(const Shape& a, const Shape& b);
Shape Subtract(const Shape& a, const Shape& b);
Shape Intersect(const Shape& a, const Shape& b);
Shape Offset(const Shape& s, double dx, double dy);
// Grows (positive) or shrinks the shape.
Shape Grow(const Shape& s, double by);

using Paint = std::function<Colour(double x, double y)>;
Paint Solid(Colour c);
// Vertical gradient: c0 at y0, c1 at y1, held beyond.
Paint VerticalGradient(double y0, Colour c0, double y1, Colour c1);

enum class Align { kLeft, kCentre, kRight };

struct Font {
  int size = 13;  // cell height in pixels, as the editor's text styles
  bool bold = false;
};

// A grey coverage image (0..1), e.g. rendered text.
struct Mask {
  int width = 0, height = 0;
  int originX = 0, originY = 0;  // where the text's top-left corner lies in the mask
  int advance = 0;               // the text's width
  std::vector<float> coverage;
  float At(int x, int y) const { return coverage[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
  // The box of the visible ink (coverage above a trace), right and bottom exclusive.
  struct Ink {
    int left = 0, top = 0, right = 0, bottom = 0;
  };
  Ink InkBounds() const;
};

// Text through the raster library's font cache ("Arial" is Liberation Sans
// here), rendered white on black and used as coverage so that it blends the
// same way on opaque and on transparent pictures. tracking adds pixels
// between characters.
Mask TextMask(const std::string& text, const Font& font, int tracking = 0);
// Font ascent in pixels (the baseline sits this far below the text top).
int TextAscent(const Font& font);
Mask RotateLeft(const Mask& mask);  // a quarter turn counter-clockwise

// A picture of width x height layout pixels drawn at percent of that size
// (100 for the 1x picture, 200 for the 2x one): shapes, paints, rectangles
// and text positions stay in layout pixels and the canvas draws them at its
// scale, text at the scaled font size. Pixel access (At, Blend, DrawMask,
// Width, Height) is in the canvas's own pixels.
class Canvas {
 public:
  Canvas(int width, int height, Colour fill, int percent = 100);

  int Width() const { return bitmap_.Width(); }
  int Height() const { return bitmap_.Height(); }
  int Percent() const { return percent_; }
  double Scale() const { return percent_ / 100.0; }
  // A layout coordinate (or length) in the canvas's pixels.
  int Px(int v) const;
  MemBitmap& Bitmap() { return bitmap_; }
  const MemBitmap& Bitmap() const { return bitmap_; }
  Colour At(int x, int y) const;
  // Text rendered at the canvas's scale (font size and tracking scaled).
  Mask ScaledTextMask(const std::string& text, const Font& font, int tracking = 0) const;

  // Source-over with straight alpha; coverage scales the colour's alpha.
  void Blend(int x, int y, const Colour& c, double coverage);
  void Fill(const Shape& shape, const Paint& paint, double opacity = 1.0);
  void Fill(const Shape& shape, const Colour& c) { Fill(shape, Solid(c)); }
  // A soft copy of the shape: coverage falls off over blur pixels.
  void Shadow(const Shape& shape, const Colour& c, double blur);
  // Replaces whole pixels, alpha included (hard-edged).
  void FillRect(int x, int y, int width, int height, const Colour& c);
  void Clear(const Colour& c);
  void DrawMask(const Mask& mask, int x, int y, const Colour& c);
  // Text with its top at top; x is the left edge, the centre or the right
  // edge as align says (layout pixels). Answers the width drawn, in layout
  // pixels.
  int Text(const std::string& text, const Font& font, int x, int top, Align align, const Colour& c, int tracking = 0);
  // Copies a region of another canvas of the same scale (layout pixels).
  void CopyFrom(const Canvas& from, int fromX, int fromY, int width, int height, int x, int y);

 private:
  MemBitmap bitmap_;
  int percent_;
};

}  // namespace velmora::artwork
