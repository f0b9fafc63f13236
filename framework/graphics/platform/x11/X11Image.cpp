#include "framework/graphics/platform/x11/X11Image.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "framework/graphics/platform/x11/X11Display.h"

namespace velmora::x11 {

namespace {

bool HasOurLayout(const Visual* visual) {
  return visual && visual->c_class == TrueColor && visual->red_mask == 0xff0000 && visual->green_mask == 0xff00 &&
         visual->blue_mask == 0xff;
}

bool Depth24Uses32Bits(Display* display) {
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
  bool found = false;
  for (int i = 0; i < count; ++i) {
    if (formats[i].depth == 24) found = formats[i].bits_per_pixel == 32;
  }
  if (formats) XFree(formats);
  return found;
}

}  // namespace

bool ChooseVisual(Display* display, int screen, Visual** visual, int* depth) {
  if (!Depth24Uses32Bits(display)) return false;
  Visual* fallback = DefaultVisual(display, screen);
  if (DefaultDepth(display, screen) == 24 && HasOurLayout(fallback)) {
    *visual = fallback;
    *depth = 24;
    return true;
  }
  XVisualInfo wanted{};
  wanted.screen = screen;
  wanted.depth = 24;
  wanted.c_class = TrueColor;
  int count = 0;
  XVisualInfo* infos = XGetVisualInfo(display, VisualScreenMask | VisualDepthMask | VisualClassMask, &wanted, &count);
  bool found = false;
  for (int i = 0; i < count && !found; ++i) {
    if (HasOurLayout(infos[i].visual)) {
      *visual = infos[i].visual;
      *depth = 24;
      found = true;
    }
  }
  if (infos) XFree(infos);
  return found;
}

bool WindowImage::Create(Display* display, Window window, Visual* visual, int depth, int width, int height) {
  Destroy();
  if (width <= 0 || height <= 0) return false;
  mDisplay = display;
  mWindow = window;
  mVisual = visual;
  mDepth = depth;
  mWidth = width;
  mHeight = height;
  mGC = XCreateGC(display, window, 0, nullptr);
  if (!mGC) {
    Destroy();
    return false;
  }
  XSetGraphicsExposures(display, mGC, False);

  mPixmap = XCreatePixmap(display, window, unsigned(width), unsigned(height), unsigned(depth));
  if (SyncAndTakeErrors(display) != 0) {
    mPixmap = 0;  // the server could not make it; its id means nothing
  } else {
    XSetForeground(display, mGC, 0);
    XFillRectangle(display, mPixmap, mGC, 0, 0, unsigned(width), unsigned(height));
    XSetWindowBackgroundPixmap(display, window, mPixmap);
  }
  CreateSharedImage();
  return true;
}

bool WindowImage::CreateSharedImage() {
  {
    std::lock_guard<std::mutex> guard(XlibLock());
    if (!XShmQueryExtension(mDisplay)) return false;
    mShmCompletion = XShmGetEventBase(mDisplay) + ShmCompletion;
  }
  // Pixels go out as they lie in memory; only a server of the same byte order reads them so.
  if (ImageByteOrder(mDisplay) != LSBFirst) return false;
  mShm = XShmSegmentInfo{};
  mShm.shmid = -1;
  mShmImage = XShmCreateImage(mDisplay, mVisual, unsigned(mDepth), ZPixmap, nullptr, &mShm, unsigned(mWidth),
                              unsigned(mHeight));
  if (!mShmImage) return false;
  if (mShmImage->bits_per_pixel != 32) {
    DestroySharedImage();
    return false;
  }
  mShm.shmid = shmget(IPC_PRIVATE, std::size_t(mShmImage->bytes_per_line) * std::size_t(mHeight), IPC_CREAT | 0600);
  if (mShm.shmid < 0) {
    DestroySharedImage();
    return false;
  }
  mShm.shmaddr = static_cast<char*>(shmat(mShm.shmid, nullptr, 0));
  if (mShm.shmaddr == reinterpret_cast<char*>(-1)) {
    mShm.shmaddr = nullptr;
    DestroySharedImage();
    return false;
  }
  mShmImage->data = mShm.shmaddr;
  mShm.readOnly = False;
  const bool attached = XShmAttach(mDisplay, &mShm) && SyncAndTakeErrors(mDisplay) == 0;
  // Marked for removal now, so the segment goes away with the last user even if we crash.
  shmctl(mShm.shmid, IPC_RMID, nullptr);
  if (!attached) {
    mShm.shmseg = 0;
    DestroySharedImage();
    return false;
  }
  return true;
}

void WindowImage::DestroySharedImage() {
  if (mShm.shmseg != 0) {
    if (!IsLost(mDisplay)) XShmDetach(mDisplay, &mShm);
    mShm.shmseg = 0;
  }
  if (mShmImage) {
    mShmImage->data = nullptr;
    XDestroyImage(mShmImage);
    mShmImage = nullptr;
  }
  if (mShm.shmaddr) {
    shmdt(mShm.shmaddr);
    mShm.shmaddr = nullptr;
  }
  if (mShm.shmid >= 0) shmctl(mShm.shmid, IPC_RMID, nullptr);
  mShm = XShmSegmentInfo{};
  mShm.shmid = -1;
  mShmBusy = false;
}

void WindowImage::Destroy() {
  if (!mDisplay) return;
  // The server keeps its own mapping until it handles the detach.
  DestroySharedImage();
  if (mPlainImage) {
    mPlainImage->data = nullptr;
    XDestroyImage(mPlainImage);
    mPlainImage = nullptr;
  }
  // Over a lost connection only our own memory goes; the server's side went with it.
  const bool lost = IsLost(mDisplay);
  if (mPixmap && !lost) XFreePixmap(mDisplay, mPixmap);
  mPixmap = 0;
  if (mGC && !lost) XFreeGC(mDisplay, mGC);
  mGC = nullptr;
  mDisplay = nullptr;
}

bool WindowImage::PlainImageFor(const RasterBitmap& surface) {
  char* bits = reinterpret_cast<char*>(surface.Bits());
  const int span = surface.RowSpan() * 4;
  if (mPlainImage && mPlainImage->data == bits && mPlainImage->bytes_per_line == span &&
      mPlainImage->width == surface.Width() && mPlainImage->height == surface.Height()) {
    return true;
  }
  if (mPlainImage) {
    mPlainImage->data = nullptr;
    XDestroyImage(mPlainImage);
    mPlainImage = nullptr;
  }
  if (!bits) return false;
  mPlainImage = XCreateImage(mDisplay, mVisual, unsigned(mDepth), ZPixmap, 0, bits, unsigned(surface.Width()),
                             unsigned(surface.Height()), 32, span);
  if (!mPlainImage) return false;
  // Our bytes are blue, green, red, alpha; Xlib reorders them for a big-endian server.
  mPlainImage->byte_order = LSBFirst;
  if (mPlainImage->bits_per_pixel != 32) {
    mPlainImage->data = nullptr;
    XDestroyImage(mPlainImage);
    mPlainImage = nullptr;
    return false;
  }
  return true;
}

void WindowImage::Put(const RasterBitmap& surface, const Rect& rect) {
  if (!mDisplay || !surface.Bits()) return;
  const Rect r = Intersect(rect, Rect(0, 0, std::min(mWidth, surface.Width()), std::min(mHeight, surface.Height())));
  if (r.Empty()) return;
  const int w = int(r.W()), h = int(r.H());
  const Drawable target = mPixmap ? mPixmap : mWindow;
  if (mShmImage) {
    if (mShmBusy) {
      XSync(mDisplay, False);
      mShmBusy = false;
    }
    const std::size_t rowBytes = std::size_t(w) * 4;
    for (int y = r.top; y < r.bottom; ++y) {
      std::memcpy(mShmImage->data + std::size_t(y) * std::size_t(mShmImage->bytes_per_line) + std::size_t(r.left) * 4,
                  surface.Row(y) + r.left, rowBytes);
    }
    mShmSerial = NextRequest(mDisplay);
    XShmPutImage(mDisplay, target, mGC, mShmImage, r.left, r.top, r.left, r.top, unsigned(w), unsigned(h), True);
    mShmBusy = true;
  } else if (PlainImageFor(surface)) {
    XPutImage(mDisplay, target, mGC, mPlainImage, r.left, r.top, r.left, r.top, unsigned(w), unsigned(h));
  } else {
    return;
  }
  if (mPixmap) XClearArea(mDisplay, mWindow, r.left, r.top, unsigned(w), unsigned(h), False);
}

bool WindowImage::OnEvent(const XEvent& event) {
  if (!mDisplay || event.type != mShmCompletion) return false;
  // A completion of an older put says nothing about the last one.
  if (event.xany.serial >= mShmSerial) mShmBusy = false;
  return true;
}

}  // namespace velmora::x11
