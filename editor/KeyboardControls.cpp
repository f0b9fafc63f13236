#include "editor/KeyboardControls.h"

#include "core/Velmora.h"
#include "editor/EditorStyle.h"
#include "framework/graphics/IGraphics.h"

namespace velmora {
namespace {

// White-key frame by pitch class (from 1); black keys have none.
constexpr std::array<int, 12> kWhiteFrame = {1, 0, 2, 0, 3, 1, 0, 4, 0, 5, 0, 3};
// To the next key of the same colour, by pitch class.
constexpr std::array<int, 12> kNextSameColour = {2, 2, 2, 3, 1, 2, 2, 2, 2, 2, 3, 1};
// Black keys in the order KeyAt tries them.
constexpr std::array<int, 5> kBlackPitchClasses = {1, 3, 6, 8, 10};

bool IsBlack(int pitchClass) { return kWhiteFrame[static_cast<size_t>(pitchClass)] == 0; }

Rect KeyboardRect() { return Rect(86, 74, 86 + IKeyboardControl::kWhiteKeyWidth + 3 * IKeyboardControl::kOctaveWidth, 74 + 534 / 6); }

}  // namespace

// --- IKeyboardControl

IKeyboardControl::IKeyboardControl(Velmora* plugin, const ImageStrip& whiteKeys, const ImageStrip& blackKeys,
                                   const std::array<int, 12>& keyOffsets)
    : IControl(plugin, KeyboardRect(), -1),
      mVelmora(plugin),
      mWhiteKeys(whiteKeys),
      mBlackKeys(blackKeys),
      mKeyOffsets(keyOffsets) {
  SetDoubleClickAsPress(true);
}

IKeyboardControl::~IKeyboardControl() = default;

int IKeyboardControl::KeyAt(int x, int y) const {
  const Rect& t = mTargetRect;
  if (x < t.left || x >= t.right || y < t.top || y >= t.bottom) return -1;
  const int a = x - t.left;
  const int octave = a / kOctaveWidth;
  const int p = a % kOctaveWidth;
  if (y - t.top < mBlackKeys.h && octave < kOctaves) {
    for (int pitchClass : kBlackPitchClasses) {
      const int offset = mKeyOffsets[static_cast<size_t>(pitchClass)];
      if (p >= offset && p < offset + kWhiteKeyWidth) return pitchClass + 12 * octave;
    }
  }
  const int w = p / kWhiteKeyWidth;
  return (w < 3 ? 2 * w : 2 * w - 1) + 12 * octave;
}

void IKeyboardControl::SetPressedKey(int key) {
  mPressedKey = key;
  mVelmora->SetPressedKey(key);
  MarkDirty(true);
}

void IKeyboardControl::MouseDown(int x, int y, const MouseMods& mods) {
  if (mods.r) return;
  const int key = KeyAt(x, y);
  if (key != mPressedKey) SetPressedKey(key);
}

void IKeyboardControl::MouseUp(int, int, const MouseMods&) {
  if (mPressedKey >= 0) SetPressedKey(-1);
}

void IKeyboardControl::SetHighlightedNotes(const std::vector<int>& notes) {
  mHighlights.reset();
  for (int n : notes) {
    if (n >= 0 && n < 128) mHighlights.set(static_cast<size_t>(n));
  }
}

bool IKeyboardControl::DrawKey(IGraphics& graphics, const Rect& rect, int key, int pitchClass, bool black) {
  if (black) return graphics.DrawImage(mBlackKeys, rect, 0, 0, &mBlend);
  const int frame = key < kKeyCount ? kWhiteFrame[static_cast<size_t>(pitchClass)] : 6;
  return graphics.DrawImageFrame(mWhiteKeys, rect, frame, &mBlend);
}

bool IKeyboardControl::Draw(IGraphics& graphics) {
  if (mHighlights.none()) return true;
  const Rect& r = mRect;
  Rect key(r.left, r.top, r.left + kWhiteKeyWidth, r.bottom);
  int k = 0;
  while (k < kKeyCount) {
    if (IsHighlighted(mLowestNote + k)) DrawKey(graphics, key, k, k % 12, false);
    key = Rect(key.left + kWhiteKeyWidth, key.top, key.right + kWhiteKeyWidth, key.bottom);
    k += kNextSameColour[static_cast<size_t>(k % 12)];
  }
  if (IsHighlighted(mLowestNote + kKeyCount)) DrawKey(graphics, key, kKeyCount, 0, false);
  int o = r.left;
  k = 1;
  for (;;) {
    const int pitchClass = k % 12;
    const int x = o + mKeyOffsets[static_cast<size_t>(pitchClass)];
    if (IsHighlighted(mLowestNote + k)) DrawKey(graphics, Rect(x, r.top, x + kWhiteKeyWidth, r.top + 44), k, pitchClass, true);
    k += kNextSameColour[static_cast<size_t>(pitchClass)];
    if (k > kKeyCount) break;
    if (pitchClass == 10) o += kOctaveWidth;
  }
  return true;
}

// --- CustomKeyboardControl

CustomKeyboardControl::CustomKeyboardControl(Velmora* plugin, const ImageStrip& whiteKeys,
                                             const ImageStrip& blackKeys, const std::array<int, 12>& keyOffsets)
    : IKeyboardControl(plugin, whiteKeys, blackKeys, keyOffsets),
      mLandmarkStyle(style::Text(style::kLandmarkSize, style::kOnMarkedKey, TextStyle::kBold, TextStyle::kCenter)) {}

CustomKeyboardControl::~CustomKeyboardControl() = default;

void CustomKeyboardControl::MouseDown(int x, int y, const MouseMods& mods) {
  if (!mods.r) {
    IKeyboardControl::MouseDown(x, y, mods);
    return;
  }
  const int key = KeyAt(x, y);
  if (key >= 5 && key <= 28) mVelmora->ToggleKeyboardNote(key);
}

void CustomKeyboardControl::SetPitchClasses(const std::array<bool, 12>& selection) {
  if (selection == mPitchClasses) return;
  mPitchClasses = selection;
  MarkDirty(false);
}

void CustomKeyboardControl::DrawRing(IGraphics& graphics, int f, int e, const RingColours& c) {
  const auto fill = [&](const Color& colour, int x, int y, int w, int h) {
    graphics.FillRectangle(colour, Rect(x, y, x + w, y + h));
  };
  const auto pixel = [&](const Color& colour, int x, int y) { graphics.PlotPoint(colour, float(x), float(y)); };
  fill(c.main, f, e + 5, 4, 34);
  fill(c.main, f + 16, e + 5, 4, 34);
  fill(c.main, f + 5, e, 10, 4);
  fill(c.main, f + 5, e + 40, 10, 4);
  fill(c.main, f + 2, e + 2, 3, 3);
  fill(c.main, f + 15, e + 2, 3, 3);
  fill(c.main, f + 2, e + 39, 3, 3);
  fill(c.main, f + 15, e + 39, 3, 3);
  for (auto [x, y] : {std::pair{1, 4}, {1, 39}, {18, 4}, {18, 39}, {4, 1}, {15, 1}, {4, 42}, {15, 42}})
    pixel(c.main, f + x, e + y);
  for (auto [x, y] : {std::pair{0, 5}, {1, 3}, {2, 2}, {3, 1}, {5, 0}, {14, 0}, {16, 1}, {17, 2}, {18, 3}, {19, 5},
                      {0, 38}, {1, 40}, {2, 41}, {3, 42}, {5, 43}, {14, 43}, {16, 42}, {17, 41}, {18, 40}, {19, 38}})
    pixel(c.outerEdge, f + x, e + y);
  for (auto [x, y] : {std::pair{4, 5}, {5, 4}, {14, 4}, {15, 5}, {4, 38}, {5, 39}, {14, 39}, {15, 38}})
    pixel(c.innerCorners, f + x, e + y);
}

void CustomKeyboardControl::DrawKeyline(IGraphics& graphics, int f, int e) {
  const Rect& r = mRect;
  const Color& dark = style::kKeyline;
  graphics.DrawRectangle(dark, Rect(f + 4, e + 4, f + 15, e + 39));
  // Only inside the control, which is all its redraw covers.
  if (e - 1 >= r.top) graphics.DrawLine(dark, f - 1, e - 1, f + 20, e - 1);
  if (e + 44 < r.bottom) graphics.DrawLine(dark, f - 1, e + 44, f + 20, e + 44);
  if (f - 1 >= r.left) graphics.DrawLine(dark, f - 1, e, f - 1, e + 43);
  if (f + 20 < r.right) graphics.DrawLine(dark, f + 20, e, f + 20, e + 43);
}

void CustomKeyboardControl::DrawLandmarks(IGraphics& graphics) {
  for (int key = 0; key < kKeyCount; key += 12) {
    if (!IsHighlighted(kLowestNote + key)) continue;
    const int x = mRect.left + kOctaveWidth * (key / 12);
    graphics.DrawText(mLandmarkStyle, "C", Rect(x, style::kLandmarkTop, x + kWhiteKeyWidth - 1, mRect.bottom));
  }
}

bool CustomKeyboardControl::Draw(IGraphics& graphics) {
  IKeyboardControl::Draw(graphics);
  DrawLandmarks(graphics);
  // White keys C D E F G A B are white numbers 0..6; a black key counts as
  // the white key to its right.
  constexpr std::array<int, 12> kWhiteNumber = {0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6, 6};
  const Rect& r = mRect;
  for (int c = 0; c < 12; ++c) {
    if (!mPitchClasses[static_cast<size_t>(c)]) continue;
    const int a = kWhiteNumber[static_cast<size_t>(c)];
    const bool black = IsBlack(c);
    const int f = black ? r.left + kWhiteKeyWidth * (a + 7) - kWhiteKeyWidth / 2 - 1 : r.left + kWhiteKeyWidth * (a + 7);
    const int e = black ? r.top : r.top + 44 + 1;
    const RingColours& colours = black ? mBlackRing : mWhiteRing;
    const int other = c < 5 ? f + kOctaveWidth : f - kOctaveWidth;
    DrawKeyline(graphics, f, e);
    DrawKeyline(graphics, other, e);
    DrawRing(graphics, f, e, colours);
    DrawRing(graphics, other, e, colours);
  }
  return true;
}

}  // namespace velmora
