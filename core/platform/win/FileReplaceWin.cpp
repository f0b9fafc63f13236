// The file goes to a temporary file beside the target through the C runtime's
// descriptors, and MoveFileEx puts it in place. A target that another program
// holds open without delete sharing cannot be replaced: commit then fails and
// the old file stays. Names are UTF-8 and reach Windows as UTF-16: the ANSI
// calls would lose what the code page cannot hold.
#include "core/platform/FileReplace.h"

#include "framework/plugin/platform/win/WideText.h"

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

int OpenExclusive(const std::string& target, std::string& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 16; ++attempt) {
    name = target + ".tmp." + std::to_string(GetCurrentProcessId()) + "." + std::to_string(counter++);
    const int fd = _wopen(Utf8ToWide(name).c_str(), kCreateFlags | _O_EXCL, _S_IREAD | _S_IWRITE);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

FileReplace::FileReplace(const std::string& path) : mTarget(path) {
  if (mTarget.empty()) return;
  mFd = OpenExclusive(mTarget, mTemporary);
  if (mFd >= 0) return;
  mTemporary.clear();
  mFd = _wopen(Utf8ToWide(mTarget).c_str(), kCreateFlags | _O_TRUNC, _S_IREAD | _S_IWRITE);
}

FileReplace::~FileReplace() { Discard(); }

bool FileReplace::Append(const std::uint8_t* data, std::size_t size) {
  if (mFd < 0 || mFailed) return false;
  while (size > 0) {
    const unsigned chunk = size > INT_MAX ? unsigned(INT_MAX) : unsigned(size);
    const int written = _write(mFd, data, chunk);
    if (written <= 0) {
      mFailed = true;
      return false;
    }
    data += written;
    size -= std::size_t(written);
  }
  return true;
}

bool FileReplace::Commit() {
  if (mFd < 0) return false;
  bool ok = !mFailed;
  if (_commit(mFd) != 0) ok = false;
  if (_close(mFd) != 0) ok = false;
  mFd = -1;
  if (mTemporary.empty()) return ok;
  const std::wstring temporary = Utf8ToWide(mTemporary);
  if (ok && MoveFileExW(temporary.c_str(), Utf8ToWide(mTarget).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    mTemporary.clear();
    return true;
  }
  DeleteFileW(temporary.c_str());
  mTemporary.clear();
  return false;
}

void FileReplace::Discard() {
  if (mFd >= 0) _close(mFd);
  mFd = -1;
  if (!mTemporary.empty()) DeleteFileW(Utf8ToWide(mTemporary).c_str());
  mTemporary.clear();
}

}  // namespace velmora
