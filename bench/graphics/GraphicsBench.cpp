// Redrawing a whole editor-sized surface through the headless context: an
// opaque background picture, 40 text labels and 20 alpha pictures.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>

#include "framework/graphics/Controls.h"
#include "framework/graphics/headless/HeadlessGraphics.h"
#include "framework/graphics/raster/ImageLoader.h"
#include "framework/plugin/IPluginBase.h"
#include "tests/TestDescriptor.h"

namespace velmora {
namespace {

constexpr int kWidth = 964;
constexpr int kHeight = 709;
constexpr int kBackgroundId = 8001;
constexpr int kSpriteId = 8002;

class BenchPlugin : public IPluginBase {
 public:
  BenchPlugin()
      : IPluginBase(PluginHost::None(), velmora::test::TestDescriptor(1, "0-2", 1, "Velmora", 0x56656C6D)) {
    GetParam(0)->DefineDouble("Gain", 0.5, 0.0, 1.0, 0.01);
  }
};

void RegisterPictures() {
  if (ImageCache::Find(kBackgroundId)) return;
  std::mt19937 rng(11);
  auto background = std::make_unique<MemBitmap>(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) background->Row(y)[x] = rng() | 0xff000000u;
  }
  ImageCache::Add(kBackgroundId, std::move(background));
  // A round sprite: opaque in the middle, fading to transparent corners.
  auto sprite = std::make_unique<MemBitmap>(60, 60);
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 60; ++x) {
      const double d = std::hypot(x - 29.5, y - 29.5) / 30.0;
      const int alpha = d >= 1.0 ? 0 : int(255 * (1.0 - d * d));
      sprite->Row(y)[x] = MakePixel(alpha, 200, 120 + x, 40 + y);
    }
  }
  ImageCache::Add(kSpriteId, std::move(sprite));
}

struct Editor {
  BenchPlugin plugin;
  HeadlessGraphics* graphics = new HeadlessGraphics(&plugin, kWidth, kHeight);
  IKnobMultiControl* knob = nullptr;

  Editor() {
    RegisterPictures();
    graphics->AddControl(std::make_unique<IBitmapControl>(&plugin, 0, 0, -1, graphics->LoadImage(kBackgroundId, "bg.png")));
    const ImageStrip sprite = graphics->LoadImage(kSpriteId, "sprite.png");
    for (int i = 0; i < 20; ++i) {
      graphics->AddControl(std::make_unique<IBitmapControl>(&plugin, 20 + (i % 10) * 94, 40 + (i / 10) * 300, -1, sprite));
    }
    const TextStyle style("Arial", 16, Color(255, 230, 230, 230));
    for (int i = 0; i < 40; ++i) {
      const Rect r(10 + (i % 8) * 118, 420 + (i / 8) * 52, 10 + (i % 8) * 118 + 110, 420 + (i / 8) * 52 + 24);
      graphics->AddControl(std::make_unique<ITextControl>(&plugin, r, style, ("Label " + std::to_string(i)).c_str()));
    }
    knob = graphics->Adopt(std::make_unique<IKnobMultiControl>(&plugin, 500, 200, 0, sprite, IKnobControl::kVertical, 1.0));
    plugin.AttachEditor(std::unique_ptr<IEditorLink>(graphics));  // the plug-in owns it from here
    graphics->OpenWindow(nullptr);
    graphics->OnTimerTick();  // warms the glyph caches
  }
};

void BM_DrawAreaFullEditor(benchmark::State& state) {
  Editor editor;
  const Rect all(0, 0, kWidth, kHeight);
  for (auto _ : state) {
    editor.graphics->DrawArea(all);
    editor.graphics->ClearPaintedRects();
    benchmark::ClobberMemory();
  }
  state.counters["controls"] = editor.graphics->NControls();
}
BENCHMARK(BM_DrawAreaFullEditor)->Unit(benchmark::kMillisecond);

// One knob turned by the host: the value travels through the mailbox and
// only its rectangle is redrawn.
void BM_TimerTickOneDirtyKnob(benchmark::State& state) {
  Editor editor;
  double v = 0.0;
  for (auto _ : state) {
    v = v >= 1.0 ? 0.0 : v + 0.01;
    editor.graphics->SetOwnerThread(std::thread::id());  // as if posted by a host thread
    editor.graphics->SetParamFromPlugin(0, v, true);
    editor.graphics->SetOwnerThread(std::this_thread::get_id());
    editor.graphics->OnTimerTick();
    editor.graphics->ClearPaintedRects();
  }
}
BENCHMARK(BM_TimerTickOneDirtyKnob)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmora
