#include "framework/plugin/vst2/VstEntry.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "framework/plugin/vst2/IPluginVST.h"

namespace velmora {

namespace {

// Hosts may create instances from several threads at once. Made on first
// use, so that it exists whatever order the module's statics start in.
std::mutex& CreationLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

AEffect* CreateEffect(audioMasterCallback hostCallback, PluginFactory factory) {
  if (!hostCallback || !factory) return nullptr;
  std::lock_guard<std::mutex> creating(CreationLock());
  try {
    std::unique_ptr<IPluginVST> plugin(factory(hostCallback));
    if (!plugin) return nullptr;
    plugin->FillEmptyPresets(plugin->NPresets());
    AEffect* effect = plugin->Effect();
    effect->numPrograms = std::max(effect->numPrograms, 1);
    // From here on the host owns it, until effClose.
    plugin.release();
    return effect;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace velmora
