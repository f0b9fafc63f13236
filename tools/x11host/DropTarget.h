#pragma once

#include <atomic>
#include <thread>

struct _XDisplay;  // Xlib's Display; Xlib stays out of this header

namespace velmora::host {

// A drop target on the screen, as an arrangement would be one: a plain
// top-level window, drawn as an empty lane with bar lines, that takes every
// XDND offer of a URI list and prints what is dropped ("dropped: URI"). For
// trying drags out of an editor by hand, and for pictures of them. Runs on
// a display connection and a thread of its own.
class DropTarget {
 public:
  DropTarget(int x, int y, int width, int height);
  ~DropTarget();
  DropTarget(const DropTarget&) = delete;
  DropTarget& operator=(const DropTarget&) = delete;

  bool ready() const { return window_ != 0; }

 private:
  void loop();
  void handle(void* event);
  void draw();

  _XDisplay* display_ = nullptr;
  unsigned long window_ = 0;
  unsigned long source_ = 0;
  int width_, height_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace velmora::host
