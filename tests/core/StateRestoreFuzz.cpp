// Arbitrary bytes as a program chunk and as a preset bank, restored into one
// long-lived instance, so that every restore also lands on top of whatever
// the inputs before it left behind.
#include <algorithm>
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

velmora::Velmora& Instance() {
  static velmora::Velmora* plugin = [] {
    UsePrivateDataFolder();
    auto* made = new velmora::Velmora(velmora::PluginHost::None());  // lives until the process ends
    made->FillEmptyPresets(velmora::Velmora::kPresetCount);
    // A fresh drop-down holds -1 until its first restore clamps it to 0;
    // from then on a save and a reload must give the same bytes.
    velmora::ChunkBuffer fresh;
    made->SaveState(fresh);
    made->LoadState(fresh, 0);
    return made;
  }();
  return *plugin;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  velmora::Velmora& plugin = Instance();
  const velmora::ChunkBuffer chunk = ChunkOf(data, size);
  int position = 0;
  velmora::IPluginBase::ReadChunkHeader(chunk, &position);
  if (position < 0) return 0;
  plugin.LoadState(chunk, position);
  // The restored instance must save and reload itself to the same bytes.
  velmora::ChunkBuffer saved;
  plugin.SaveState(saved);
  if (plugin.LoadState(saved, 0) != saved.Size()) std::abort();
  velmora::ChunkBuffer again;
  plugin.SaveState(again);
  if (again.Size() != saved.Size() || !std::equal(saved.Data(), saved.Data() + saved.Size(), again.Data()))
    std::abort();
  plugin.UnserializePresets(chunk, position);
  return 0;
}
