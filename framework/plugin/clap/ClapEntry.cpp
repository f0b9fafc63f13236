// The module's entry and its plug-in factory.
#include "framework/plugin/clap/ClapEntry.h"

#include <cstring>
#include <memory>
#include <mutex>

#include "framework/plugin/clap/IPluginClap.h"

namespace velmora {

namespace {

// Made on first use, so that they exist whatever order the statics start in.
std::mutex& EntryLock() {
  static std::mutex lock;
  return lock;
}
int& InitCount() {
  static int count = 0;
  return count;
}

bool Initialized() {
  std::lock_guard<std::mutex> guard(EntryLock());
  return InitCount() > 0;
}

uint32_t CLAP_ABI PluginCount(const clap_plugin_factory_t*) { return 1; }

const clap_plugin_descriptor_t* CLAP_ABI PluginDescriptor(const clap_plugin_factory_t*, uint32_t index) {
  return index == 0 ? &ClapDescriptor() : nullptr;
}

// Hosts may create instances from several threads at once.
const clap_plugin_t* CLAP_ABI CreatePlugin(const clap_plugin_factory_t*, const clap_host_t* host,
                                           const char* pluginId) {
  const clap_plugin_descriptor_t& descriptor = ClapDescriptor();
  if (!host || !pluginId || std::strcmp(pluginId, descriptor.id) != 0) return nullptr;
  if (!clap_version_is_compatible(host->clap_version) || !Initialized()) return nullptr;
  std::lock_guard<std::mutex> creating(EntryLock());
  try {
    auto adapter = std::make_unique<IPluginClap>(host, MakePlugin);
    IPluginBase& plugin = adapter->Plugin();
    plugin.FillEmptyPresets(plugin.NPresets());
    adapter->SetDescriptor(&descriptor);
    // From here on the host owns it, until its destroy.
    return adapter.release()->ClapPlugin();
  } catch (...) {
    return nullptr;
  }
}

const clap_plugin_factory_t kFactory = {PluginCount, PluginDescriptor, CreatePlugin};

}  // namespace

bool CLAP_ABI ClapEntryInit(const char* /*pluginPath*/) {
  std::lock_guard<std::mutex> guard(EntryLock());
  ++InitCount();
  return true;
}

void CLAP_ABI ClapEntryDeinit() {
  std::lock_guard<std::mutex> guard(EntryLock());
  if (InitCount() > 0) --InitCount();
}

const void* CLAP_ABI ClapEntryFactory(const char* factoryId) {
  if (!factoryId || std::strcmp(factoryId, CLAP_PLUGIN_FACTORY_ID) != 0 || !Initialized()) return nullptr;
  return &kFactory;
}

}  // namespace velmora
