#include "core/platform/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

// Replacing a symbolic link would cut the link; write beside its target.
std::string ResolveTarget(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

int OpenExclusive(const std::string& target, std::string& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 16; ++attempt) {
    name = target + ".tmp." + std::to_string(getpid()) + "." + std::to_string(counter++);
    int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

FileReplace::FileReplace(const std::string& path) : mTarget(ResolveTarget(path)) {
  if (mTarget.empty()) return;
  mFd = OpenExclusive(mTarget, mTemporary);
  if (mFd >= 0) {
    struct stat existing {};
    if (stat(mTarget.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
      fchmod(mFd, existing.st_mode & 07777);
    return;
  }
  mTemporary.clear();
  mFd = open(mTarget.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

FileReplace::~FileReplace() { Discard(); }

bool FileReplace::Append(const std::uint8_t* data, std::size_t size) {
  if (mFd < 0 || mFailed) return false;
  while (size > 0) {
    ssize_t written = write(mFd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      mFailed = true;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool FileReplace::Commit() {
  if (mFd < 0) return false;
  bool ok = !mFailed;
  if (close(mFd) != 0) ok = false;
  mFd = -1;
  if (mTemporary.empty()) return ok;
  if (ok && rename(mTemporary.c_str(), mTarget.c_str()) == 0) {
    mTemporary.clear();
    return true;
  }
  unlink(mTemporary.c_str());
  mTemporary.clear();
  return false;
}

void FileReplace::Discard() {
  if (mFd >= 0) close(mFd);
  mFd = -1;
  if (!mTemporary.empty()) unlink(mTemporary.c_str());
  mTemporary.clear();
}

}  // namespace velmora
