#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "framework/graphics/raster/FontCache.h"
#include "framework/graphics/raster/ImageLoader.h"
#include "framework/graphics/raster/MemBitmap.h"

namespace velmora {
namespace {

// Several editors of one process share the caches and the fonts.
TEST(RasterCaches, ConcurrentEditorsShareFontsAndPictures) {
  constexpr int kThreads = 4;
  std::vector<CachedFont*> fonts(kThreads);
  std::vector<RasterBitmap*> pictures(kThreads);
  std::vector<int> heights(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      MemBitmap surface(200, 40);
      for (int i = 0; i < 40; ++i) {
        FontRequest request;
        request.face = (i % 2) ? "Arial" : "Verdana";
        request.size = 12 + i % 5;
        CachedFont* font = FontCache::Get(request);
        if (!font) continue;
        RasterRect rect{0, 0, 200, 40};
        const char* text = (i % 3) ? "Major \xe2\x82\xac" : "minor 7th \xc3\xa9";
        heights[t] = font->RenderText(surface, text, -1, rect, kTextCenter);
        fonts[t] = font;
        pictures[t] = ImageCache::Load(7001, "resources/img/x.png");
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 1; t < kThreads; ++t) {
    EXPECT_EQ(fonts[t], fonts[0]);
    EXPECT_EQ(pictures[t], pictures[0]);
    EXPECT_EQ(heights[t], heights[0]);
  }
  EXPECT_NE(pictures[0], nullptr);
  EXPECT_EQ(FontCache::FontsCreated(), 10);
}

}  // namespace
}  // namespace velmora
