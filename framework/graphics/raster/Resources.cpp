#include "framework/graphics/raster/Resources.h"

#include <mutex>
#include <utility>
#include <vector>

namespace velmora {

namespace {

struct Registry {
  std::mutex lock;
  std::vector<std::pair<const EmbeddedResource*, std::size_t>> tables;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

void RegisterResources(const EmbeddedResource* table, std::size_t count) {
  if (!table || count == 0) return;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  registry.tables.emplace_back(table, count);
}

ResourceBytes FindResource(int id) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  for (const auto& [table, count] : registry.tables) {
    for (std::size_t i = 0; i < count; ++i) {
      if (table[i].id == id) return {table[i].data, table[i].size, table[i].name};
    }
  }
  return {};
}

}  // namespace velmora
