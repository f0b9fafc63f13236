#pragma once

#include <memory>

namespace velmora {

class IGraphics;
class IPluginBase;

// The editor context of the platform this build targets: the X11 window on
// Linux, the Win32 window on Windows, or the windowless context that tests
// link instead. Exactly one library defining it is linked into a program.
// The caller hands the result to the plug-in base (AttachEditor).
std::unique_ptr<IGraphics> MakePlatformGraphics(IPluginBase* plugin, int width, int height, int fps);

}  // namespace velmora
