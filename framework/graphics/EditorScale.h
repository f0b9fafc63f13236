#pragma once

#include "framework/graphics/GraphicsTypes.h"

namespace velmora {

// The editor's scale, in percent of its layout. Controls and layout tables
// speak in layout pixels (the 1x numbers); the drawing surface, the window
// and the mouse speak in physical pixels, and these functions cross between
// them. Only the steps below exist: a factor from anywhere is snapped.
constexpr int kScaleSteps[] = {100, 125, 150, 175, 200};
constexpr int kScaleStepCount = int(sizeof kScaleSteps / sizeof kScaleSteps[0]);

// The step nearest to a factor (1.0 = 100 %), halfway cases going up;
// 0 for a factor that names no scale (not finite, or not above 0).
int SnapScale(double factor);
bool IsScaleStep(int percent);

// Where layout coordinate v lands: v x percent / 100, halves rounded up.
// Edges map alone, so rectangles that touch keep touching.
int ScaleCoordinate(int v, int percent);
// The layout pixel that physical pixel q belongs to: the v with
// ScaleCoordinate(v) <= q < ScaleCoordinate(v + 1).
int LayoutCoordinate(int q, int percent);
Rect ScaleRect(const Rect& r, int percent);
// The smallest layout rectangle whose scaled image covers r; empty for empty.
Rect LayoutRectCovering(const Rect& r, int percent);

// Where the scale comes from, strongest first: the user's own choice, the
// host's factor, the system's. 0 in a source means it says nothing.
//
// Threads: a plain value; its owner guards it.
class ScaleSources {
 public:
  void SetUser(int percent) { mUser = IsScaleStep(percent) ? percent : 0; }
  void SetHost(int percent) { mHost = IsScaleStep(percent) ? percent : 0; }
  void SetSystem(int percent) { mSystem = IsScaleStep(percent) ? percent : 0; }
  int User() const { return mUser; }
  int Host() const { return mHost; }
  int System() const { return mSystem; }
  // The scale in force: the first source that says one, else 100.
  int Effective() const;

 private:
  int mUser = 0;
  int mHost = 0;
  int mSystem = 0;
};

}  // namespace velmora
