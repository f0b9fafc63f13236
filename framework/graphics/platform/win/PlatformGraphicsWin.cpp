// Windows editors are Win32 windows in the plug-in's own module.
#include "framework/graphics/PlatformGraphics.h"
#include "framework/graphics/platform/win/IGraphicsWin.h"
#include "framework/plugin/platform/win/ModuleInstance.h"

namespace velmora {

std::unique_ptr<IGraphics> MakePlatformGraphics(IPluginBase* plugin, int width, int height, int fps) {
  return std::make_unique<IGraphicsWin>(plugin, width, height, fps, ModuleInstance());
}

}  // namespace velmora
