#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmora {

// Writes a file so that readers see either its old content or the complete new
// one: the data goes to a temporary file beside the target, which replaces the
// target only when every byte was written. Where no file can be created beside
// it (a directory we may not write to) it falls back to writing in place.
// The path is UTF-8 on every platform.
class FileReplace {
public:
  explicit FileReplace(const std::string& path);
  ~FileReplace();
  FileReplace(const FileReplace&) = delete;
  FileReplace& operator=(const FileReplace&) = delete;

  bool IsOpen() const { return mFd >= 0; }
  // False once any write has failed; later appends are ignored.
  bool Append(const std::uint8_t* data, std::size_t size);
  // Puts the file in place; false when anything failed (the target then keeps
  // its old content unless the in-place fallback was used).
  bool Commit();

private:
  void Discard();

  std::string mTarget;
  std::string mTemporary;
  int mFd = -1;
  bool mFailed = false;
};

}  // namespace velmora
