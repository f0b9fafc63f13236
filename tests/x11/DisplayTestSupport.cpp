#include "DisplayTestSupport.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "XvfbServer.h"
#include "framework/graphics/raster/PngCodec.h"

namespace velmora::test {

bool UseSharedXvfb(std::string* why) {
  XvfbServer& server = XvfbServer::Shared();
  if (!server.Running()) {
    if (why) *why = server.Error();
    return false;
  }
  setenv("DISPLAY", server.Name().c_str(), 1);
  return true;
}

::testing::AssertionResult SamePicture(const MemBitmap& window, const MemBitmap& expected, const std::string& name) {
  if (window.Width() != expected.Width() || window.Height() != expected.Height()) {
    return ::testing::AssertionFailure() << "window " << window.Width() << "x" << window.Height() << ", expected "
                                         << expected.Width() << "x" << expected.Height();
  }
  int differ = 0, firstX = -1, firstY = -1;
  for (int y = 0; y < window.Height(); ++y) {
    for (int x = 0; x < window.Width(); ++x) {
      if ((window.Row(y)[x] & 0xffffff) == (expected.Row(y)[x] & 0xffffff)) continue;
      if (differ++ == 0) {
        firstX = x;
        firstY = y;
      }
    }
  }
  if (differ == 0) return ::testing::AssertionSuccess();
  const std::string base = ::testing::TempDir() + "velmora_x11_" + name;
  WritePng(window, base + "_window.png", false);
  WritePng(expected, base + "_expected.png", false);
  std::ostringstream why;
  why << differ << " pixels differ, the first at (" << firstX << ", " << firstY << "): window " << std::hex
      << (window.Row(firstY)[firstX] & 0xffffff) << ", expected " << (expected.Row(firstY)[firstX] & 0xffffff)
      << std::dec << "; pictures in " << base << "_*.png";
  return ::testing::AssertionFailure() << why.str();
}

::testing::AssertionResult ShowsPicture(host::X11EditorHost& host, const std::function<bool(MemBitmap&)>& render,
                                        const std::string& name) {
  MemBitmap expected, window;
  bool rendered = false;
  const bool same = host::X11EditorHost::WaitFor([&] {
    rendered = render(expected);
    return rendered && host.capture(window) && SamePicture(window, expected, name);
  });
  if (same) return ::testing::AssertionSuccess();
  if (!rendered) return ::testing::AssertionFailure() << "nothing rendered to compare with";
  return SamePicture(window, expected, name);
}

int OwnSharedMemorySegments() {
  std::ifstream table("/proc/sysvipc/shm");
  std::string line;
  std::getline(table, line);  // the header
  int count = 0;
  const long self = long(getpid());
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    long key = 0, id = 0, perms = 0, size = 0, creator = 0;
    if (fields >> key >> id >> perms >> size >> creator && creator == self) ++count;
  }
  return count;
}

int OpenFileDescriptors() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir)) ++count;
    closedir(dir);
  }
  return count;
}

}  // namespace velmora::test
