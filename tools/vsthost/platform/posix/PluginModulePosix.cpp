#include "tools/vsthost/PluginModule.h"

#include <dlfcn.h>

namespace velmora::host {

bool PluginModule::load(const std::string& path) {
  unload();
  // Resolve everything now so that a module with missing symbols fails here
  // rather than in the middle of a processing call.
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* reason = dlerror();
    error_ = reason != nullptr ? reason : "cannot load " + path;
    return false;
  }
  error_.clear();
  return true;
}

void PluginModule::unload() {
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
}

void* PluginModule::symbol(const char* name) const {
  return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

}  // namespace velmora::host
