// The file goes to a temporary file beside the target through the C runtime's
// descriptors, and MoveFileEx puts it in place. A target that another program
// holds open without delete sharing cannot be replaced: commit then fails and
// the old file stays.
#include "core/platform/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace velmora {
namespace {

constexpr int kCreateFlags = _O_WRONLY | _O_BINARY | _O_NOINHERIT | _O_CREAT;

int openExclusive(const std::string& target, std::string& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 16; ++attempt) {
    name = target + ".tmp." + std::to_string(GetCurrentProcessId()) + "." + std::to_string(counter++);
    const int fd = _open(name.c_str(), kCreateFlags | _O_EXCL, _S_IREAD | _S_IWRITE);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

FileReplace::FileReplace(const std::string& path) : target_(path) {
  if (target_.empty()) return;
  fd_ = openExclusive(target_, temporary_);
  if (fd_ >= 0) return;
  temporary_.clear();
  fd_ = _open(target_.c_str(), kCreateFlags | _O_TRUNC, _S_IREAD | _S_IWRITE);
}

FileReplace::~FileReplace() { discard(); }

bool FileReplace::append(const std::uint8_t* data, std::size_t size) {
  if (fd_ < 0 || failed_) return false;
  while (size > 0) {
    const unsigned chunk = size > INT_MAX ? unsigned(INT_MAX) : unsigned(size);
    const int written = _write(fd_, data, chunk);
    if (written <= 0) {
      failed_ = true;
      return false;
    }
    data += written;
    size -= std::size_t(written);
  }
  return true;
}

bool FileReplace::commit() {
  if (fd_ < 0) return false;
  bool ok = !failed_;
  if (_commit(fd_) != 0) ok = false;
  if (_close(fd_) != 0) ok = false;
  fd_ = -1;
  if (temporary_.empty()) return ok;
  if (ok && MoveFileExA(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    temporary_.clear();
    return true;
  }
  DeleteFileA(temporary_.c_str());
  temporary_.clear();
  return false;
}

void FileReplace::discard() {
  if (fd_ >= 0) _close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) DeleteFileA(temporary_.c_str());
  temporary_.clear();
}

}  // namespace velmora
