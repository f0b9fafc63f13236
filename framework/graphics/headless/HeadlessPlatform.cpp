// Programs without a display (tests, screenshot tools) build their editors
// windowless.
#include "framework/graphics/PlatformGraphics.h"
#include "framework/graphics/headless/HeadlessGraphics.h"

namespace velmora {

std::unique_ptr<IGraphics> MakePlatformGraphics(IPluginBase* plugin, int width, int height, int fps) {
  return std::make_unique<HeadlessGraphics>(plugin, width, height, fps);
}

}  // namespace velmora
