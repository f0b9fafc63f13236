#pragma once

#include "framework/graphics/GraphicsTypes.h"

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

}  // namespace velmora::style
