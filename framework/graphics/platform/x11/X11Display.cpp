#include "framework/graphics/platform/x11/X11Display.h"

#include <X11/Xlibint.h>
#undef min
#undef max
#include <poll.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

namespace velmora::x11 {

namespace {

struct Connection {
  Display* display;
  int errors = 0;
  bool lost = false;
};

// The hooks below live on each connection and die with it: nothing of ours
// stays in Xlib's process-wide state, so unloading the module leaves no
// pointer into it.
std::mutex gRegistryLock;
std::vector<std::unique_ptr<Connection>> gConnections;

Connection* Find(Display* display) {
  for (const auto& c : gConnections) {
    if (c->display == display) return c.get();
  }
  return nullptr;
}

// False tells Xlib to drop the error: the process-wide handler never sees it.
Bool CountError(Display* display, XErrorEvent*, xError*) {
  std::lock_guard<std::mutex> guard(gRegistryLock);
  if (Connection* c = Find(display)) ++c->errors;
  return False;
}

// Xlib calls this instead of exit() once the server is gone; every later
// call on the connection returns at once, and our owners make none.
void MarkLost(Display* display, void*) {
  std::lock_guard<std::mutex> guard(gRegistryLock);
  if (Connection* c = Find(display)) c->lost = true;
}

void Forget(Display* display) {
  std::lock_guard<std::mutex> guard(gRegistryLock);
  gConnections.erase(std::remove_if(gConnections.begin(), gConnections.end(),
                                    [display](const auto& c) { return c->display == display; }),
                     gConnections.end());
}

// Copies size bytes at address without faulting on a bad address.
bool SafeRead(const void* address, void* out, std::size_t size) {
  iovec local{out, size};
  iovec remote{const_cast<void*>(address), size};
  return process_vm_readv(getpid(), &local, 1, &remote, 1, 0) == ssize_t(size);
}

}  // namespace

std::mutex& XlibLock() {
  static std::mutex lock;
  return lock;
}

Display* OpenDisplay(const char* name) {
  std::lock_guard<std::mutex> guard(XlibLock());
  Display* display = XOpenDisplay(name);
  if (!display) return nullptr;
  {
    std::lock_guard<std::mutex> registry(gRegistryLock);
    gConnections.push_back(std::make_unique<Connection>(Connection{display}));
  }
  // Every error number, core and extension alike.
  for (int code = 1; code < 256; ++code) XESetWireToError(display, code, CountError);
  XSetIOErrorExitHandler(display, MarkLost, nullptr);
  return display;
}

void CloseDisplay(Display* display) {
  if (!display) return;
  if (IsLost(display)) {
    // No X call on a lost connection: its socket goes, the rest of Xlib's record stays behind.
    close(ConnectionNumber(display));
  } else {
    std::lock_guard<std::mutex> guard(XlibLock());
    XCloseDisplay(display);
  }
  Forget(display);
}

bool IsLost(Display* display) {
  std::lock_guard<std::mutex> guard(gRegistryLock);
  const Connection* c = Find(display);
  return c && c->lost;
}

int TakeErrors(Display* display) {
  std::lock_guard<std::mutex> guard(gRegistryLock);
  Connection* c = Find(display);
  if (!c) return 0;
  const int errors = c->errors;
  c->errors = 0;
  return errors;
}

int SyncAndTakeErrors(Display* display) {
  if (!IsLost(display)) XSync(display, False);
  return TakeErrors(display);
}

bool NextEvent(Display* display, XEvent& event, std::chrono::milliseconds timeout) {
  if (IsLost(display)) return false;
  if (XEventsQueued(display, QueuedAfterFlush) == 0) {
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    const int ms = int(std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, 60000));
    if (poll(&fd, 1, ms) <= 0) return false;
    if (XEventsQueued(display, QueuedAfterReading) == 0 || IsLost(display)) return false;
  }
  XNextEvent(display, &event);
  return true;
}

std::string ForeignDisplayName(const void* display) {
  using Record = std::remove_pointer_t<_XPrivDisplay>;
  if (!display || reinterpret_cast<std::uintptr_t>(display) % alignof(Record) != 0) return std::string();
  char* nameAddress = nullptr;
  const auto* field = reinterpret_cast<const char*>(display) + offsetof(Record, display_name);
  if (!SafeRead(field, &nameAddress, sizeof nameAddress) || !nameAddress) return std::string();
  // Byte by byte: the name may end just before unreadable memory.
  std::string name;
  for (std::size_t i = 0; i < 256; ++i) {
    char c = 0;
    if (!SafeRead(nameAddress + i, &c, 1)) return std::string();
    if (c == '\0') break;
    if (c < 0x20 || c > 0x7e) return std::string();
    name += c;
  }
  // Every X display name carries a colon before its number.
  return name.find(':') == std::string::npos || name.size() >= 256 ? std::string() : name;
}

}  // namespace velmora::x11
