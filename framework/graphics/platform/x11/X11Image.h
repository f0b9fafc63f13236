#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include "framework/graphics/GraphicsTypes.h"
#include "framework/graphics/raster/RasterBitmap.h"

namespace velmora::x11 {

// A 24-bit TrueColor visual whose 32-bit pixels are 0x..RRGGBB, the layout
// of our surfaces; the screen's default one when it fits. False when the
// screen has none.
bool ChooseVisual(Display* display, int screen, Visual** visual, int* depth);

// Shows a surface in a window. The pixels go through MIT-SHM when the
// server offers it (and attaching works: a remote display refuses), else
// through XPutImage straight from the surface's memory. They land in a
// pixmap that is the window's background, so the server repaints exposed
// parts by itself, even while the host sends no idle calls.
class WindowImage {
 public:
  WindowImage() = default;
  WindowImage(const WindowImage&) = delete;
  WindowImage& operator=(const WindowImage&) = delete;
  ~WindowImage() { Destroy(); }

  bool Create(Display* display, Window window, Visual* visual, int depth, int width, int height);
  void Destroy();

  // Copies rect of the surface (editor coordinates) to the same place in the window.
  void Put(const RasterBitmap& surface, const Rect& rect);
  // Takes the events it asked for (shared-memory completions); false for others.
  bool OnEvent(const XEvent& event);

  bool UsesSharedMemory() const { return mShmImage != nullptr; }
  // False when the server had no room for the pixmap: the window's owner then repaints exposures.
  bool HasBackground() const { return mPixmap != 0; }

 private:
  bool CreateSharedImage();
  void DestroySharedImage();
  bool PlainImageFor(const RasterBitmap& surface);

  Display* mDisplay = nullptr;
  Window mWindow = 0;
  Visual* mVisual = nullptr;
  int mDepth = 0;
  int mWidth = 0, mHeight = 0;
  GC mGC = nullptr;
  Pixmap mPixmap = 0;
  XImage* mShmImage = nullptr;
  XShmSegmentInfo mShm{0, -1, nullptr, False};
  int mShmCompletion = -1;
  unsigned long mShmSerial = 0;  // of the last put the server may still be reading
  bool mShmBusy = false;
  XImage* mPlainImage = nullptr;  // borrows the surface's pixels
};

}  // namespace velmora::x11
