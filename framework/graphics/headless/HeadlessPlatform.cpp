// Programs without a display (tests, screenshot tools) build their editors
// windowless.
#include "framework/graphics/PlatformGraphics.h"
#include "framework/graphics/headless/HeadlessGraphics.h"

namespace velmora {

IGraphics* MakePlatformGraphics(IPluginBase* plugin, int width, int height, int fps) {
  return new HeadlessGraphics(plugin, width, height, fps);
}

}  // namespace velmora
