#include "framework/plugin/AppDataFolder.h"

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
std::string ApplicationDataFolder() {
  char path[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path)) &&
      path[0] != '\0') {
    return WithoutTrailingSeparators(path);
  }
  char temporary[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof temporary, temporary);
  if (length > 0 && length <= MAX_PATH) return WithoutTrailingSeparators(temporary);
  return "C:\\Windows\\Temp";
}

}  // namespace velmora
