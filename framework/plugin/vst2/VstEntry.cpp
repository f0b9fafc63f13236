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

AEffect* CreateEffect(audioMasterCallback hostCallback, const PluginFactory& make) {
  if (!hostCallback || !make) return nullptr;
  std::lock_guard<std::mutex> creating(CreationLock());
  try {
    auto adapter = std::make_unique<IPluginVST>(hostCallback, make);
    IPluginBase& plugin = adapter->Plugin();
    plugin.FillEmptyPresets(plugin.NPresets());
    AEffect* effect = adapter->Effect();
    effect->numPrograms = std::max(effect->numPrograms, 1);
    // From here on the host owns it, until effClose.
    adapter.release();
    return effect;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace velmora
