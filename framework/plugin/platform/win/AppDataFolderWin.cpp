#include "framework/plugin/AppDataFolder.h"

#include "framework/plugin/platform/win/WideText.h"

#include <windows.h>
#include <shlobj.h>

namespace velmora {
namespace {

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

}  // namespace

// The roaming per-user folder (CSIDL_APPDATA), which follows the user
// between machines of a domain, like the projects that refer to the export.
// Asked for in UTF-16: a user name outside the ANSI code page would come
// back from the narrow call as "??".
std::string ApplicationDataFolder() {
  wchar_t path[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path)) &&
      path[0] != L'\0') {
    return WithoutTrailingSeparators(WideToUtf8(path, wcslen(path)));
  }
  wchar_t temporary[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
  if (length > 0 && length <= MAX_PATH) return WithoutTrailingSeparators(WideToUtf8(temporary, length));
  return "C:\\Windows\\Temp";
}

}  // namespace velmora
