#pragma once

#include <string>

namespace velmora::host {

// A loaded plug-in module (shared library) and its exported symbols.
class PluginModule {
public:
  PluginModule() = default;
  ~PluginModule() { unload(); }
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // False with error() set when the module cannot be loaded.
  bool load(const std::string& path);
  void unload();
  bool isLoaded() const { return handle_ != nullptr; }
  // What the system's loader answered (a dlopen handle, an HMODULE).
  void* handle() const { return handle_; }
  // Null when the symbol is not exported.
  void* symbol(const char* name) const;
  const std::string& error() const { return error_; }

private:
  void* handle_ = nullptr;
  std::string error_;
};

}  // namespace velmora::host
