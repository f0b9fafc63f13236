#include "framework/graphics/raster/FontCache.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace velmora {

namespace {

struct FontEntry {
  int size, orientation, style;
  std::string face;
  std::unique_ptr<CachedFont> font;
};

struct Cache {
  std::mutex lock;
  std::vector<FontEntry> entries;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

std::atomic<int> gFontsCreated{0};

}  // namespace

CachedFont* FontCache::Get(const FontRequest& request) {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  for (const FontEntry& e : cache.entries) {
    if (e.size == request.size && e.orientation == request.orientation && e.style == request.style &&
        e.face == request.face) {
      return e.font.get();
    }
  }
  std::unique_ptr<PlatformTypeface> typeface = CreatePlatformTypeface(request);
  if (!typeface) return nullptr;
  auto font = std::make_unique<CachedFont>();
  font->AttachPlatformFont(std::move(typeface), kFontPreferPlatformRendering);
  ++gFontsCreated;
  cache.entries.push_back({request.size, request.orientation, request.style, request.face, std::move(font)});
  return cache.entries.back().font.get();
}

int FontCache::FontsCreated() { return gFontsCreated.load(); }

}  // namespace velmora
