// Arbitrary bytes as a program chunk and as a preset bank, restored into a
// fresh instance. Restored parameter values then drive the whole dispatch.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "core/Velmora.h"

namespace {

// Exports must never land in the user's real data folder.
void UsePrivateDataFolder() {
  static const bool done = [] {
    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("velmora-fuzz-" + std::to_string(getpid()));
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(folder, ignored);
    });
    return true;
  }();
  (void)done;
}

velmora::ChunkBuffer ChunkOf(const uint8_t* data, size_t size) {
  velmora::ChunkBuffer chunk;
  chunk.PutBytes(data, static_cast<int>(size));
  return chunk;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  UsePrivateDataFolder();
  const velmora::ChunkBuffer chunk = ChunkOf(data, size);
  {
    velmora::Velmora plugin(nullptr);
    plugin.FillEmptyPresets(velmora::Velmora::kPresetCount);
    int position = 0;
    velmora::IPluginBase::ReadChunkHeader(chunk, &position);
    if (position >= 0) plugin.LoadState(chunk, position);
    // The restored instance must still save and reload itself.
    velmora::ChunkBuffer saved;
    plugin.SaveState(saved);
    if (plugin.LoadState(saved, 0) != saved.Size()) std::abort();
  }
  {
    velmora::Velmora plugin(nullptr);
    plugin.FillEmptyPresets(velmora::Velmora::kPresetCount);
    int position = 0;
    velmora::IPluginBase::ReadChunkHeader(chunk, &position);
    if (position >= 0) plugin.UnserializePresets(chunk, position);
  }
  return 0;
}
