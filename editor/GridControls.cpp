#include "editor/GridControls.h"

#include <string>

#include "core/Velmora.h"
#include "editor/EditorStyle.h"
#include "framework/graphics/IGraphics.h"

namespace velmora {
namespace {

constexpr int kCellSize = 94;
constexpr int kFirstTriggerNote = 36;

// Cell i plays host note 36 + i, named as most hosts' piano rolls name it
// (C3 = 60): cell 0 is C1.
std::string TriggerNoteName(const Rect& cell) {
  static const char* const kNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
  const int index = (cell.left - 17) / kCellSize + 4 * (3 - (cell.top - 316) / kCellSize);
  const int note = kFirstTriggerNote + index;
  return std::string(kNames[note % 12]) + std::to_string(note / 12 - 2);
}

struct ArrowColours {
  Color fill, first, second;
};

}  // namespace

GridChordControl::GridChordControl(Velmora* plugin, int paramIdx, const Rect& r)
    : ListedChordControl(plugin, paramIdx, r),
      mOctaveNormal(style::Text(style::kCellOctaveSize, style::kCaptionGrey, TextStyle::kNormal, TextStyle::kCenter)),
      mOctaveSounding(style::Text(style::kCellOctaveSize, style::kSoundingGreen, TextStyle::kNormal, TextStyle::kCenter)),
      mOctaveLocked(style::Text(style::kCellOctaveSize, style::kLockedText, TextStyle::kNormal, TextStyle::kCenter)),
      mInvNormal(style::Text(14, style::kCaptionGrey, TextStyle::kNormal, TextStyle::kFar)),
      mInvLocked(style::Text(14, style::kLockedText, TextStyle::kNormal, TextStyle::kFar)),
      mInvNumberNormal(style::Text(16, style::kCaptionGrey, TextStyle::kNormal, TextStyle::kFar)),
      mInvNumberSounding(style::Text(16, style::kSoundingGreen, TextStyle::kNormal, TextStyle::kFar)),
      mInvNumberLocked(style::Text(16, style::kLockedText, TextStyle::kNormal, TextStyle::kFar)),
      mLeftArrow(r.left + 18, r.top + 54, r.left + 39, r.top + 75),
      mRightArrow(r.left + 54, r.top + 54, r.left + 75, r.top + 75),
      mOctaveRect(r.left + 40, r.top + 57, r.left + 56, r.top + 91),
      mInversionRect(r.right - 21, r.top + 3, r.right - 6, r.top + 18),
      mInversionSpot(r.right - 21, r.top, r.right - 1, r.top + 19),
      mTriggerNormal(style::Text(style::kSmallPrintSize, style::kHintText, TextStyle::kNormal, TextStyle::kNear)),
      mTriggerSounding(style::Text(style::kSmallPrintSize, style::kSoundingGreen, TextStyle::kNormal, TextStyle::kNear)),
      mTriggerLocked(style::Text(style::kSmallPrintSize, style::kOnLockedCell, TextStyle::kNormal, TextStyle::kNear)),
      mTriggerNote(TriggerNoteName(r)) {
  SetChord(ChordEntry{}, true);
}

bool GridChordControl::InHotSpot(int x, int y) const {
  return mLeftArrow.Contains(x, y) || mRightArrow.Contains(x, y) || mInversionSpot.Contains(x, y);
}

void GridChordControl::MouseDown(int x, int y, const MouseMods& mods) {
  if (mChord.IsEmpty() || mChord.sounding) return;
  if (mLeftArrow.Contains(x, y)) {
    if (mChord.octave <= ListOfChordsControl::kMinOctave) return;
    --mChord.octave;
    mVelmora->SetCellOctave(mChord);
  } else if (mRightArrow.Contains(x, y)) {
    if (mChord.octave >= ListOfChordsControl::kMaxOctave) return;
    ++mChord.octave;
    mVelmora->SetCellOctave(mChord);
  } else if (mInversionSpot.Contains(x, y)) {
    // Every inversion the chord has, whatever the inversion switches allow.
    const int notes = static_cast<int>(mChord.notes.size());
    mChord.inversion = notes > 0 ? (mChord.inversion + 1) % notes : 0;
    mVelmora->SetCellInversion(mChord);
  } else {
    RowPress(mods);
  }
}

void GridChordControl::MouseUp(int x, int y, const MouseMods&) {
  if (!InHotSpot(x, y)) {
    RowRelease(x, y);
    return;
  }
  StopPressedChord();
  // A release over a hot spot is not a drop, and must not leave a drag
  // pending for a later release elsewhere.
  mDragging = false;
}

void GridChordControl::DrawNumbers(IGraphics& graphics) {
  const ChordEntry& c = mChord;
  const TextStyle& octave = c.sounding ? mOctaveSounding : c.locked ? mOctaveLocked : mOctaveNormal;
  graphics.DrawText(octave, std::to_string(c.octave).c_str(), mOctaveRect);
  if (c.inversion < 1) {
    graphics.DrawText(c.locked ? mInvLocked : mInvNormal, "inv", mInversionRect);
    return;
  }
  const TextStyle& number = c.sounding ? mInvNumberSounding : c.locked ? mInvNumberLocked : mInvNumberNormal;
  graphics.DrawText(number, std::to_string(c.inversion).c_str(), mInversionRect);
}

void GridChordControl::DrawArrows(IGraphics& graphics) {
  const ChordEntry& c = mChord;
  ArrowColours colours;
  if (c.sounding && c.locked) {
    colours = {style::kSoundingGreen, Color(255, 39, 196, 136), Color(255, 13, 164, 194)};
  } else if (c.sounding) {
    colours = {style::kSoundingGreen, style::kEdgeGreenLight, style::kEdgeGreenDark};
  } else {
    colours = {style::kLockedText, Color(255, 154, 213, 243), Color(255, 53, 170, 230)};
  }
  const int l = mRect.left, t = mRect.top;
  graphics.FillTriangle(colours.fill, l + 23, t + 64, l + 34, t + 59, l + 34, t + 70, &mBlend);
  const int x0 = l + 23, y0 = t + 59;
  for (int k = 0; k <= 5; ++k) {
    graphics.PlotPoint(colours.first, float(x0 + 2 * k + 1), float(y0 + 5 - k));
    graphics.PlotPoint(colours.first, float(x0 + 2 * k + 1), float(y0 + 6 + k));
    graphics.PlotPoint(colours.second, float(x0 + 2 * k), float(y0 + 5 - k));
    graphics.PlotPoint(colours.second, float(x0 + 2 * k), float(y0 + 6 + k));
  }
  graphics.FillTriangle(colours.fill, l + 59, t + 59, l + 59, t + 70, l + 70, t + 64, &mBlend);
  style::SmoothRightTriangle(graphics, l + 59, t + 59, colours.first, colours.second);
}

void GridChordControl::DrawTriggerNote(IGraphics& graphics) {
  const ChordEntry& c = mChord;
  const TextStyle& s = c.sounding ? mTriggerSounding : c.locked && !c.IsEmpty() ? mTriggerLocked : mTriggerNormal;
  const Rect& r = mRect;
  graphics.DrawText(s, mTriggerNote.c_str(), Rect(r.left + 6, r.top + 4, r.left + 40, r.top + 18));
}

bool GridChordControl::Draw(IGraphics& graphics) {
  DrawRow(graphics);
  DrawTriggerNote(graphics);
  if (mChord.IsEmpty()) {
    // Hides the background's arrows.
    graphics.FillRectangle(style::kEmptyDark, mLeftArrow);
    graphics.FillRectangle(style::kEmptyDark, mRightArrow);
    return true;
  }
  DrawNumbers(graphics);
  // Otherwise the background's white arrows show.
  if (mChord.locked || mChord.sounding) DrawArrows(graphics);
  return true;
}

// --- GridOfChordsControl

GridOfChordsControl::GridOfChordsControl(Velmora* plugin, const Rect& rect)
    : IControl(plugin, rect, 6) {
  for (int i = 0; i < kGridCellCount; ++i) {
    const int left = 17 + (i % 4) * kCellSize;
    const int top = 316 + (3 - i / 4) * kCellSize;
    auto cell = std::make_unique<GridChordControl>(plugin, mCellParamIdx,
                                                   Rect(left, top, left + kCellSize, top + kCellSize));
    mCells[static_cast<size_t>(i)] = cell.get();
    mUnadded[static_cast<size_t>(i)] = std::move(cell);
  }
}

GridOfChordsControl::~GridOfChordsControl() = default;

void GridOfChordsControl::ShowGridCells(const GridCells& cells) {
  for (int i = 0; i < kGridCellCount; ++i) {
    const ChordEntry& e = cells[static_cast<size_t>(i)];
    GridChordControl* cell = Cell(i);
    cell->SetChord(ShownEntry(e, i), true);
    cell->SetLocked(e.locked);
    cell->SetOctave(e.octave);
    cell->SetInversion(e.inversion);
  }
}

}  // namespace velmora
