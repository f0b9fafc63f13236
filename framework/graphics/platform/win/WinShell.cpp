// The editor's ways into the shell: folders, web links, the clipboard and
// the cursor.
#include "framework/graphics/platform/win/IGraphicsWin.h"
#include "framework/plugin/AppDataFolder.h"
#include "framework/plugin/platform/win/WideText.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

namespace velmora {

namespace {

constexpr int kMaxFolderLength = 255;

std::string Limited(std::string path) {
  if (path.size() > std::size_t(kMaxFolderLength)) path.resize(std::size_t(kMaxFolderLength));
  return path;
}

// Shell folders in UTF-8, like every path here; the ANSI calls would turn
// what the code page cannot hold into '?'.
std::string Utf8Folder(const wchar_t* folder) { return Limited(WideToUtf8(folder, wcslen(folder))); }

// The folder part of a module's path, its last backslash kept.
std::string FolderOf(HMODULE module) {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  const std::string full = WideToUtf8(path, length);
  const std::size_t slash = full.rfind('\\');
  if (slash == std::string::npos || slash + 1 == full.size()) return std::string();
  return Limited(full.substr(0, slash + 1));
}

}  // namespace

bool IGraphicsWin::OpenUrl(const char* url, const char* title, const char* confirmText, const char* errorText) {
  if (!url) return false;
  if (confirmText && MessageBoxA(OwnerWindow(), confirmText, title ? title : "", MB_YESNO) != IDYES) return false;
  DWORD connection = 0;
  if (InternetGetConnectedState(&connection, 0)) {
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(mWnd, "open", url, nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return true;
  }
  if (errorText) MessageBoxA(OwnerWindow(), errorText, title ? title : "", MB_OK);
  return false;
}

void IGraphicsWin::HostPath(std::string& path) { path = FolderOf(nullptr); }

void IGraphicsWin::PluginPath(std::string& path) { path = FolderOf(mModule); }

void IGraphicsWin::DesktopPath(std::string& path) {
  wchar_t folder[MAX_PATH] = {};
  path = SHGetSpecialFolderPathW(nullptr, folder, CSIDL_DESKTOP, FALSE) ? Utf8Folder(folder) : std::string();
}

void IGraphicsWin::ApplicationDataFolder(std::string& path, bool allUsers) {
  if (!allUsers) {
    path = velmora::ApplicationDataFolder();  // the one home of the per-user folder
    return;
  }
  wchar_t folder[MAX_PATH] = {};
  path = SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))
             ? Utf8Folder(folder)
             : std::string();
}

bool IGraphicsWin::ClipboardText(std::string& text) {
  text.clear();
  if (!OpenClipboard(nullptr)) return false;
  bool ok = false;
  if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (const auto* wide = static_cast<const wchar_t*>(data ? GlobalLock(data) : nullptr)) {
      const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
      if (size > 0) {
        std::string utf8(std::size_t(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), size, nullptr, nullptr);
        utf8.resize(std::size_t(size - 1));
        text = utf8;
        ok = true;
      }
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return ok;
}

void IGraphicsWin::HideCursor() {
  if (CursorHidden()) return;
  POINT at{};
  GetCursorPos(&at);
  mHiddenCursorX = at.x;
  mHiddenCursorY = at.y;
  ::ShowCursor(FALSE);
  IGraphics::HideCursor();
}

void IGraphicsWin::ShowCursor() {
  if (!CursorHidden()) return;
  SetCursorPos(mHiddenCursorX, mHiddenCursorY);
  ::ShowCursor(TRUE);
  IGraphics::ShowCursor();
}

}  // namespace velmora
