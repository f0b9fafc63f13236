#include "framework/graphics/raster/ImageLoader.h"

#include <mutex>
#include <utility>
#include <vector>

#include "framework/graphics/raster/PngCodec.h"
#include "framework/graphics/raster/Resources.h"

namespace velmora {

namespace {

bool HasPngExtension(const std::string& fileName) {
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || fileName.size() - dot != 4) return false;
  const char* ext = fileName.c_str() + dot + 1;
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
  return lower(ext[0]) == 'p' && lower(ext[1]) == 'n' && lower(ext[2]) == 'g';
}

struct ScaledEntry {
  int id, percent;
  std::unique_ptr<RasterBitmap> bitmap;
};

struct Cache {
  std::mutex lock;
  std::vector<std::pair<int, std::unique_ptr<RasterBitmap>>> entries;
  std::vector<ScaledEntry> scaled;

  RasterBitmap* FindScaledLocked(int id, int percent) const {
    for (const ScaledEntry& entry : scaled) {
      if (entry.id == id && entry.percent == percent) return entry.bitmap.get();
    }
    return nullptr;
  }

  RasterBitmap* FindLocked(int id) const {
    for (const auto& entry : entries) {
      if (entry.first == id) return entry.second.get();
    }
    return nullptr;
  }
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

}  // namespace

std::unique_ptr<MemBitmap> PngFromResource(int id) {
  const ResourceBytes bytes = FindResource(id);
  if (bytes.Empty() || bytes.size <= 7) return nullptr;
  return DecodePng(bytes.data, bytes.size);
}

std::unique_ptr<MemBitmap> LoadBitmapResource(int id, const std::string& fileName) {
  if (!HasPngExtension(fileName)) return nullptr;
  return PngFromResource(id);
}

RasterBitmap* ImageCache::Find(int id) {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  return cache.FindLocked(id);
}

RasterBitmap* ImageCache::Add(int id, std::unique_ptr<RasterBitmap> bitmap) {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  if (RasterBitmap* cached = cache.FindLocked(id)) return cached;
  if (!bitmap) return nullptr;
  cache.entries.emplace_back(id, std::move(bitmap));
  return cache.entries.back().second.get();
}

RasterBitmap* ImageCache::Load(int id, const std::string& fileName) {
  Cache& cache = TheCache();
  // Decoding under the lock keeps two editors from decoding the same picture twice.
  std::lock_guard<std::mutex> guard(cache.lock);
  if (RasterBitmap* cached = cache.FindLocked(id)) return cached;
  std::unique_ptr<MemBitmap> bitmap = LoadBitmapResource(id, fileName);
  if (!bitmap) return nullptr;
  cache.entries.emplace_back(id, std::move(bitmap));
  return cache.entries.back().second.get();
}

RasterBitmap* ImageCache::FindScaled(int id, int percent) {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  return cache.FindScaledLocked(id, percent);
}

RasterBitmap* ImageCache::AddScaled(int id, int percent, std::unique_ptr<RasterBitmap> bitmap) {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  if (RasterBitmap* cached = cache.FindScaledLocked(id, percent)) return cached;
  if (!bitmap) return nullptr;
  cache.scaled.push_back({id, percent, std::move(bitmap)});
  return cache.scaled.back().bitmap.get();
}

}  // namespace velmora
