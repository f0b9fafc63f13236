#pragma once

#include <memory>

#include "core/CoreViews.h"

namespace velmora {

class IGraphics;

// The platform's way of offering the exported file to drop targets: on
// Linux an XDND offer through the editor's window, on Windows OLE
// drag-and-drop. The editor must outlive the result. [editor]
std::unique_ptr<FileDragSource> MakePlatformFileDrag(IGraphics& editor);

}  // namespace velmora
