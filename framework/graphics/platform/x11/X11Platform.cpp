// Linux builds show their editors in X11 windows.
#include "framework/graphics/PlatformGraphics.h"
#include "framework/graphics/platform/x11/IGraphicsX11.h"

namespace velmora {

std::unique_ptr<IGraphics> MakePlatformGraphics(IPluginBase* plugin, int width, int height, int fps) {
  return std::make_unique<IGraphicsX11>(plugin, width, height, fps);
}

}  // namespace velmora
