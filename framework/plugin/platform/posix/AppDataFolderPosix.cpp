#include "framework/plugin/AppDataFolder.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velmora {
namespace {

bool IsAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsWritableFolder(const std::string& path) { return IsFolder(path) && access(path.c_str(), W_OK | X_OK) == 0; }

// mkdir -p; new folders are private to the user, as the XDG base directories ask.
bool MakeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string prefix = path.substr(0, slash);
    // Existing parents may refuse mkdir with something other than EEXIST.
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST && !IsFolder(prefix)) return false;
    if (slash == std::string::npos) break;
  }
  return IsWritableFolder(path);
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (IsAbsolute(home)) return home;
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  passwd entry {};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && IsAbsolute(found->pw_dir))
    return found->pw_dir;
  return std::string();
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string TemporaryFolder() {
  const char* tmp = std::getenv("TMPDIR");
  if (IsAbsolute(tmp) && IsWritableFolder(tmp)) return WithoutTrailingSlashes(tmp);
  return "/tmp";
}

}  // namespace

std::string ApplicationDataFolder() {
  // XDG: a relative XDG_DATA_HOME is invalid and is ignored.
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (IsAbsolute(dataHome)) {
    const std::string folder = WithoutTrailingSlashes(dataHome);
    if (MakeFolders(folder)) return folder;
  }
  const std::string home = HomeFolder();
  if (!home.empty()) {
    const std::string folder = WithoutTrailingSlashes(home) + "/.local/share";
    if (MakeFolders(folder)) return folder;
  }
  return TemporaryFolder();
}

}  // namespace velmora
