#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct _XDisplay;

namespace velmora::test {

// An XDND drop target: a top-level window that accepts one type, on a
// display connection and a thread of its own. It refuses the first
// refuseFirst positions (as some hosts do), then accepts; on a drop it asks
// for the data and answers XdndFinished.
class XdndTestTarget {
 public:
  struct Options {
    int x = 1100, y = 100, width = 300, height = 300;
    int refuseFirst = 0;
    std::string accepts = "text/uri-list";
    // The messages then go to a proxy window of another connection, as XdndProxy asks.
    bool throughProxy = false;
  };
  struct Seen {
    int enters = 0, positions = 0, leaves = 0, drops = 0;
    long version = 0;
    std::vector<std::string> types;
    std::string data;          // what the drop brought
    bool finished = false;     // XdndFinished sent
    int finishes = 0;          // how many times
    int misaddressed = 0;      // messages not naming the target window, or not sent to the proxy
  };

  explicit XdndTestTarget(const Options& options);
  ~XdndTestTarget();

  bool Ready() const { return mReady; }
  Seen Snapshot() const;
  // The window's middle on the screen.
  int CenterX() const { return mOptions.x + mOptions.width / 2; }
  int CenterY() const { return mOptions.y + mOptions.height / 2; }

 private:
  void Loop();
  void Handle(void* event, bool viaProxy);

  Options mOptions;
  _XDisplay* mDisplay = nullptr;
  _XDisplay* mProxyDisplay = nullptr;
  unsigned long mWindow = 0, mProxy = 0;
  unsigned long mSource = 0;
  bool mReady = false;
  std::atomic<bool> mStop{false};
  mutable std::mutex mLock;
  Seen mSeen;
  std::thread mThread;
};

}  // namespace velmora::test
