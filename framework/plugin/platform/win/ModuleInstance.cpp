#include "framework/plugin/platform/win/ModuleInstance.h"

#include <atomic>

namespace velmora {
namespace {

std::atomic<HINSTANCE> storedInstance{nullptr};

HINSTANCE ModuleOfThisCode() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ModuleOfThisCode), &module);
  return module;
}

}  // namespace

HINSTANCE ModuleInstance() {
  HINSTANCE instance = storedInstance.load();
  return instance ? instance : ModuleOfThisCode();
}

void SetModuleInstance(HINSTANCE instance) { storedInstance.store(instance); }

}  // namespace velmora
