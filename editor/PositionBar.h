#pragma once

#include "framework/graphics/GraphicsTypes.h"

namespace velmora {

class IGraphics;

// The thin bar beside a scrolled list: where the shown page lies in the whole
// list and how much of it the page is, nothing when all of it shows. A press
// on the thumb drags the list along in proportion, a press above or below it
// moves by a page. It is hit on a few more columns than it is drawn on, so
// that a pointer can grab it.
//
// Threads: the editor's thread only, through the control that owns it.
class PositionBar {
 public:
  static constexpr int kWidth = 2;

  // Drawn on columns x and x + 1 from top down; hit on columns
  // hitLeft..hitRight - 1 beside the track.
  PositionBar(int x, int top, int height, int hitLeft, int hitRight);

  // Whether a press at (x, y) is the bar's: only while the bar shows.
  bool Hits(int x, int y, int shown, int count) const;
  // The first entry a press at y asks for: a page before or after the shown
  // one, or the same on the thumb, which the pointer then holds.
  int Press(int y, int first, int shown, int count);
  // The first entry the held thumb, moved to y, asks for: the press's first
  // entry moved as far through the list as the pointer moved along the
  // thumb's travel.
  int Drag(int y, int first, int shown, int count) const;
  bool IsHeld() const { return mHeld; }
  void Release() { mHeld = false; }
  void Draw(IGraphics& graphics, int first, int shown, int count) const;

 private:
  struct Thumb {
    int top;
    int length;
  };
  Thumb ThumbAt(int first, int shown, int count) const;

  int mX, mTop, mHeight, mHitLeft, mHitRight;
  bool mHeld = false;
  int mPressY = 0;
  int mPressFirst = 0;
};

}  // namespace velmora
