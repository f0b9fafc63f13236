#pragma once

#include <memory>

#include "core/CoreViews.h"

namespace velmora {

class IGraphics;

// Offers the exported file to drop targets through the editor window's
// StartDrag (XDND on Linux, OLE drag-and-drop on Windows). The editor must
// outlive the result. [editor]
std::unique_ptr<FileDragSource> MakePlatformFileDrag(IGraphics& editor);

}  // namespace velmora
