// The editor's window on Linux: an X11 child of the host's window, its events
// on the X connection's descriptor.
#include <cstdint>

#include <sys/timerfd.h>
#include <unistd.h>

#include "framework/plugin/clap/ClapExtensions.h"

namespace velmora {

const char* ClapWindowApi() { return CLAP_WINDOW_API_X11; }

void* ClapParentHandle(const clap_window_t& window) {
  return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window.x11));
}

bool ClapEditorUsesDescriptor() { return true; }

int OpenTimerDescriptor(uint32_t periodMs) {
  const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (fd < 0) return -1;
  itimerspec every{};
  every.it_interval.tv_sec = periodMs / 1000;
  every.it_interval.tv_nsec = static_cast<long>(periodMs % 1000) * 1000000L;
  every.it_value = every.it_interval;
  if (timerfd_settime(fd, 0, &every, nullptr) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void DrainTimerDescriptor(int fd) {
  uint64_t expirations = 0;
  // Non-blocking: nothing to read is as good as a read.
  if (read(fd, &expirations, sizeof expirations) < 0) return;
}

void CloseTimerDescriptor(int fd) {
  if (fd >= 0) close(fd);
}

}  // namespace velmora
