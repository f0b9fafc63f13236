#pragma once

#include <string>
#include <vector>

struct _XDisplay;

namespace velmora::test {

// An Xvfb of the test's own on a free display number, so that display tests
// running side by side never share a pointer. Start points DISPLAY at it.
class XvfbServer {
 public:
  static constexpr int kWidth = 2048;
  static constexpr int kHeight = 1024;

  XvfbServer() = default;
  ~XvfbServer() { Stop(); }
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // extra: more server options (e.g. "-extension", "MIT-SHM"). False with
  // Error() set when it did not come up.
  bool Start(const std::vector<std::string>& extra = {});
  void Stop();
  bool Running() const { return mPid > 0; }
  const std::string& Name() const { return mName; }
  const std::string& Error() const { return mError; }

  // The server started once for the whole test program.
  static XvfbServer& Shared();

 private:
  int mPid = -1;
  std::string mName;
  std::string mError;
  _XDisplay* mKeeper = nullptr;  // keeps the server from resetting between tests
};

}  // namespace velmora::test
