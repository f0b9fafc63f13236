#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "framework/graphics/raster/FontCache.h"
#include "framework/graphics/raster/MemBitmap.h"
#include "framework/graphics/raster/PixelOps.h"
#include "framework/graphics/raster/SysBitmap.h"

namespace velmora {
namespace {

// The editor's size: every blit here moves a whole background picture.
constexpr int kWidth = 964;
constexpr int kHeight = 709;
constexpr double kPixels = double(kWidth) * kHeight;

void FillRandom(RasterBitmap& bitmap, bool randomAlpha) {
  std::mt19937 rng(7);
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      Pixel p = rng();
      if (!randomAlpha) p |= 0xff000000u;
      bitmap.Row(y)[x] = p;
    }
  }
}

void SetPixelRate(benchmark::State& state) {
  state.SetItemsProcessed(std::int64_t(state.iterations() * kPixels));
  state.counters["Mpixel/s"] = benchmark::Counter(kPixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_MemcpyBaseline(benchmark::State& state) {
  std::vector<Pixel> from(std::size_t(kWidth) * kHeight, 0xff336699u), to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * sizeof(Pixel));
    benchmark::ClobberMemory();
  }
  SetPixelRate(state);
}
BENCHMARK(BM_MemcpyBaseline);

void BlitBench(benchmark::State& state, float opacity, int mode, bool randomAlpha) {
  MemBitmap source(kWidth, kHeight);
  SysBitmap surface(kWidth, kHeight);
  FillRandom(source, randomAlpha);
  FillRandom(surface, false);
  for (auto _ : state) {
    Blit(surface, source, 0, 0, 0, 0, kWidth, kHeight, opacity, mode);
    benchmark::ClobberMemory();
  }
  SetPixelRate(state);
}

void BM_BlitOpaqueCopy(benchmark::State& state) { BlitBench(state, 1.0f, kBlendCopy, false); }
void BM_BlitSourceAlpha(benchmark::State& state) {
  BlitBench(state, 1.0f, kBlendCopy | kBlendUseSourceAlpha, true);
}
void BM_BlitSourceAlphaOpaquePixels(benchmark::State& state) {
  BlitBench(state, 1.0f, kBlendCopy | kBlendUseSourceAlpha, false);
}
void BM_BlitSourceAlphaGrayed(benchmark::State& state) {
  BlitBench(state, 0.25f, kBlendCopy | kBlendUseSourceAlpha, true);
}
void BM_BlitHalf(benchmark::State& state) { BlitBench(state, 0.5f, kBlendCopy, false); }
BENCHMARK(BM_BlitOpaqueCopy);
BENCHMARK(BM_BlitSourceAlpha);
BENCHMARK(BM_BlitSourceAlphaOpaquePixels);
BENCHMARK(BM_BlitSourceAlphaGrayed);
BENCHMARK(BM_BlitHalf);

void FillBench(benchmark::State& state, Pixel colour, int mode) {
  SysBitmap surface(kWidth, kHeight);
  FillRandom(surface, false);
  for (auto _ : state) {
    FillRect(surface, 0, 0, kWidth, kHeight, colour, 1.0f, mode);
    benchmark::ClobberMemory();
  }
  SetPixelRate(state);
}
void BM_FillRectOpaque(benchmark::State& state) { FillBench(state, 0xff202020u, kBlendCopy | kBlendUseSourceAlpha); }
void BM_FillRectHalfAlpha(benchmark::State& state) {
  FillBench(state, 0x80202020u, kBlendCopy | kBlendUseSourceAlpha);
}
void BM_FillRectGeneralAlpha(benchmark::State& state) {
  FillBench(state, 0x50202020u, kBlendCopy | kBlendUseSourceAlpha);
}
BENCHMARK(BM_FillRectOpaque);
BENCHMARK(BM_FillRectHalfAlpha);
BENCHMARK(BM_FillRectGeneralAlpha);

// A chord-list row label with its glyphs already cached.
void BM_RenderTextLabel(benchmark::State& state) {
  FontRequest request;
  request.face = "Arial";
  request.size = 16;
  CachedFont* font = FontCache::Get(request);
  if (!font) {
    state.SkipWithError("no font");
    return;
  }
  font->SetTextColor(0xffe0e0e0u);
  SysBitmap surface(kWidth, kHeight);
  FillRandom(surface, false);
  const char* label = "C# Dominant 7th";
  RasterRect rect{626, 7, 955, 40};
  font->RenderText(surface, label, -1, rect, kTextNoClip);
  for (auto _ : state) {
    benchmark::DoNotOptimize(font->RenderText(surface, label, -1, rect, kTextNoClip | kTextCenter));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderTextLabel);

}  // namespace
}  // namespace velmora
