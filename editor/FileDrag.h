#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/CoreViews.h"
#include "framework/graphics/GraphicsTypes.h"

namespace velmora {

class IGraphics;

// Offers the exported file to drop targets through the editor window's
// StartDrag (XDND on Linux, OLE drag-and-drop on Windows). The editor must
// outlive the result. [editor]
std::unique_ptr<FileDragSource> MakePlatformFileDrag(IGraphics& editor);

// What a drag of the file at path offers, for every platform.
std::vector<DragData> FileOffer(const std::string& path);

}  // namespace velmora
