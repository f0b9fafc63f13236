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
std::string resolveTarget(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

int openExclusive(const std::string& target, std::string& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 16; ++attempt) {
    name = target + ".tmp." + std::to_string(getpid()) + "." + std::to_string(counter++);
    int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

FileReplace::FileReplace(const std::string& path) : target_(resolveTarget(path)) {
  if (target_.empty()) return;
  fd_ = openExclusive(target_, temporary_);
  if (fd_ >= 0) {
    struct stat existing {};
    if (stat(target_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
      fchmod(fd_, existing.st_mode & 07777);
    return;
  }
  temporary_.clear();
  fd_ = open(target_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

FileReplace::~FileReplace() { discard(); }

bool FileReplace::append(const std::uint8_t* data, std::size_t size) {
  if (fd_ < 0 || failed_) return false;
  while (size > 0) {
    ssize_t written = write(fd_, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      failed_ = true;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool FileReplace::commit() {
  if (fd_ < 0) return false;
  bool ok = !failed_;
  if (close(fd_) != 0) ok = false;
  fd_ = -1;
  if (temporary_.empty()) return ok;
  if (ok && rename(temporary_.c_str(), target_.c_str()) == 0) {
    temporary_.clear();
    return true;
  }
  unlink(temporary_.c_str());
  temporary_.clear();
  return false;
}

void FileReplace::discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

}  // namespace velmora
