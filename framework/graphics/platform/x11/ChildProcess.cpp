#include "framework/graphics/platform/x11/ChildProcess.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <mutex>

extern char** environ;

namespace velmora::x11 {

namespace {

std::mutex gChildrenLock;
std::vector<pid_t> gChildren;

}  // namespace

bool SpawnChild(const std::vector<std::string>& argv) {
  if (argv.empty() || argv[0].empty()) return false;
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  // The host may block or catch signals; the child starts from the defaults.
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) return false;
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, args[0], nullptr, &attributes, args.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) return false;
  std::lock_guard<std::mutex> guard(gChildrenLock);
  gChildren.push_back(pid);
  return true;
}

int ReapChildren() {
  std::lock_guard<std::mutex> guard(gChildrenLock);
  gChildren.erase(std::remove_if(gChildren.begin(), gChildren.end(),
                                 [](pid_t pid) {
                                   int status = 0;
                                   const pid_t r = waitpid(pid, &status, WNOHANG);
                                   // ECHILD: the host reaps for us (or ignores SIGCHLD).
                                   return r == pid || (r < 0 && errno != EINTR);
                                 }),
                  gChildren.end());
  return int(gChildren.size());
}

}  // namespace velmora::x11
