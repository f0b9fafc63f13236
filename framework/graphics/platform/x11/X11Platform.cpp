// Linux builds show their editors in X11 windows.
#include "framework/graphics/PlatformGraphics.h"
#include "framework/graphics/platform/x11/IGraphicsX11.h"

namespace velmora {

IGraphics* MakePlatformGraphics(IPluginBase* plugin, int width, int height, int fps) {
  return new IGraphicsX11(plugin, width, height, fps);
}

}  // namespace velmora
