#pragma once

#include "framework/graphics/IGraphics.h"

namespace velmora::style {

// The colours and faces the editor's controls draw with; the artwork is
// built around them. All opaque.
inline const Color kLabelGrey{255, 211, 211, 211};
inline const Color kCaptionGrey{255, 204, 204, 204};
inline const Color kEmptyDark{255, 34, 34, 30};
inline const Color kLockedBlue{255, 0, 148, 224};
inline const Color kSoundingGreen{255, 52, 211, 108};
inline const Color kLockedText{255, 204, 234, 249};
inline const Color kEdgeGreenLight{255, 48, 168, 90};
inline const Color kEdgeGreenDark{255, 39, 79, 52};

constexpr const char* kFace = "Arial";

inline TextStyle Text(int size, const Color& colour, int weight, int align) {
  return TextStyle(kFace, size, colour, weight, align);
}

// Our own colours, each readable at 4.5:1 on what it sits on (the empty
// dark, or the locked blue for kOnLockedCell), or 3:1 for the rings' keyline.
inline const Color kHintText{255, 150, 150, 142};
inline const Color kOnLockedCell{255, 0, 30, 56};
inline const Color kOnMarkedKey{255, 236, 244, 252};
inline const Color kKeyline{255, 16, 16, 14};
inline const Color kScrollTrack{255, 44, 44, 40};
inline const Color kScrollThumb{255, 150, 150, 142};
inline const Color kDragLabel{255, 236, 236, 228};
inline const Color kDragLabelText{255, 24, 24, 22};
inline const Color kDropOutline{255, 236, 236, 228};

// Sizes chosen so that the longest text of each kind keeps two pixels of
// air inside its rectangle (the chord names of the list keep the size the
// rows were drawn with).
constexpr int kListNameSize = 17;
constexpr int kCellNameSize = 14;
constexpr int kFilterEntrySize = 12;
constexpr int kCellOctaveSize = 15;
constexpr int kSmallPrintSize = 11;
constexpr int kHintSize = 14;

// The C of the marked C keys, where the background has it on the others.
constexpr int kLandmarkSize = 11;
constexpr int kLandmarkTop = 148;

// The hand-smoothed slanted edges of a right-pointing triangle whose upper
// corner is (x, y): the list's play triangle and a cell's right arrow.
inline void SmoothRightTriangle(IGraphics& graphics, int x, int y, const Color& first, const Color& second) {
  for (int k = 0; k <= 5; ++k) {
    graphics.PlotPoint(first, float(x + 2 * k), float(y + k));
    graphics.PlotPoint(first, float(x + 10 - 2 * k), float(y + 6 + k));
    graphics.PlotPoint(second, float(x + 2 * k + 1), float(y + k));
    graphics.PlotPoint(second, float(x + 11 - 2 * k), float(y + 6 + k));
  }
}

}  // namespace velmora::style
