#pragma once

#include <cstddef>

namespace velmora {

// A file embedded into the module at build time (see
// cmake/EmbedResources.cmake), found by its integer id.
//
// Threads: [any]. Tables are registered during static initialisation; the
// registry locks itself.
struct EmbeddedResource {
  int id;
  const char* name;  // the file name it was embedded from
  const unsigned char* data;
  std::size_t size;
};

struct ResourceBytes {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  const char* name = nullptr;
  bool Empty() const { return data == nullptr; }
};

// Adds a generated table; the first table that holds an id wins. The table
// must outlive every lookup (generated tables are static).
void RegisterResources(const EmbeddedResource* table, std::size_t count);

// The resource with this id, or empty bytes.
ResourceBytes FindResource(int id);

// Registers a generated table during static initialisation.
struct ResourceRegistration {
  ResourceRegistration(const EmbeddedResource* table, std::size_t count) { RegisterResources(table, count); }
};

}  // namespace velmora
