#include "XvfbServer.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;

namespace velmora::test {

bool XvfbServer::Start(const std::vector<std::string>& extra) {
  Stop();
  int fds[2];
  if (pipe(fds) != 0) {
    mError = "no pipe";
    return false;
  }
  fcntl(fds[0], F_SETFD, FD_CLOEXEC);
  const std::string size = std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24";
  // -terminate: should this process die, the server goes with its last client.
  std::vector<std::string> args{VELMORA_XVFB, "-displayfd", std::to_string(fds[1]), "-screen", "0", size,
                                "-nolisten", "tcp", "-terminate"};
  args.insert(args.end(), extra.begin(), extra.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (error != 0) {
    close(fds[0]);
    mError = std::string("cannot start ") + VELMORA_XVFB + " (install xvfb)";
    return false;
  }
  mPid = pid;
  std::string number;
  pollfd in{fds[0], POLLIN, 0};
  char c = 0;
  while (poll(&in, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) {
    mError = "Xvfb told no display number";
    Stop();
    return false;
  }
  mName = ":" + number;
  setenv("DISPLAY", mName.c_str(), 1);
  mKeeper = XOpenDisplay(mName.c_str());
  if (!mKeeper) {
    mError = "cannot connect to Xvfb on " + mName;
    Stop();
    return false;
  }
  return true;
}

void XvfbServer::Stop() {
  if (mKeeper) XCloseDisplay(mKeeper);
  mKeeper = nullptr;
  if (mPid > 0) {
    kill(mPid, SIGTERM);
    int status = 0;
    waitpid(mPid, &status, 0);
  }
  mPid = -1;
}

XvfbServer& XvfbServer::Shared() {
  static XvfbServer server;
  if (!server.Running() && server.Error().empty()) server.Start();
  return server;
}

}  // namespace velmora::test
