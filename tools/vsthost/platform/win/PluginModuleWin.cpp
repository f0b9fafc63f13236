#include "tools/vsthost/PluginModule.h"

#include <windows.h>

#include <algorithm>

namespace velmora::host {

namespace {

std::string LastErrorText(const std::string& path) {
  char* text = nullptr;
  const DWORD code = GetLastError();
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string message = "cannot load " + path + " (error " + std::to_string(code) + ")";
  if (text) {
    message += ": ";
    message += text;
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  }
  return message;
}

}  // namespace

bool PluginModule::load(const std::string& path) {
  unload();
  // LoadLibrary wants backslashes; scripts and tests may write slashes.
  std::string windowsPath = path;
  std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
  HMODULE module = LoadLibraryA(windowsPath.c_str());
  if (module == nullptr) {
    error_ = LastErrorText(path);
    return false;
  }
  handle_ = module;
  error_.clear();
  return true;
}

void PluginModule::unload() {
  if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

void* PluginModule::symbol(const char* name) const {
  if (handle_ == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace velmora::host
