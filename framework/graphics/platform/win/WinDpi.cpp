#include "framework/graphics/platform/win/WinDpi.h"

#include <windows.h>

#include "framework/graphics/EditorScale.h"

namespace velmora::win {

namespace {

constexpr double kBaseDpi = 96.0;

using DpiForWindow = UINT(WINAPI*)(HWND);
using DpiForSystem = UINT(WINAPI*)();

FARPROC User32Entry(const char* name) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  return user32 ? GetProcAddress(user32, name) : nullptr;
}

int ScreenScale() {
  HDC screen = GetDC(nullptr);
  if (!screen) return 0;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? SnapScale(dpi / kBaseDpi) : 0;
}

}  // namespace

int WindowScale(HWND window) {
  // The cast goes through void: the looked-up entry's real type is restored.
  const auto forWindow = reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(User32Entry("GetDpiForWindow")));
  if (forWindow && window) {
    const UINT dpi = forWindow(window);
    if (dpi > 0) return SnapScale(dpi / kBaseDpi);
  }
  return SystemScale();
}

int SystemScale() {
  const auto forSystem = reinterpret_cast<DpiForSystem>(reinterpret_cast<void*>(User32Entry("GetDpiForSystem")));
  if (forSystem) {
    const UINT dpi = forSystem();
    if (dpi > 0) return SnapScale(dpi / kBaseDpi);
  }
  return ScreenScale();
}

}  // namespace velmora::win
