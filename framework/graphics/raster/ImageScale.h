#pragma once

#include <memory>

#include "framework/graphics/raster/MemBitmap.h"

namespace velmora {

// Resizing pictures made of frames stacked vertically (ImageStrip). Each
// frame is resized on its own, so no frame bleeds into the next; the result
// holds frames frames of frameWidth x frameHeight. Null when the source
// cannot be split into that many frames or a size is not positive.

// Every result pixel averages the source area it covers (colours weighted
// by alpha): for shrinking a picture drawn at a larger scale.
std::unique_ptr<MemBitmap> ShrinkFrames(const RasterBitmap& source, int frames, int frameWidth, int frameHeight);

// Each source pixel becomes the block of pixels it covers at percent, as
// the editor scales everything else (EditorScale.h): hard edges stay hard,
// for pictures that have no drawing at the scale asked. Frames become
// ScaleCoordinate(width) x ScaleCoordinate(frame height).
std::unique_ptr<MemBitmap> NearestFrames(const RasterBitmap& source, int frames, int percent);

}  // namespace velmora
