#include "core/platform/DragPayload.h"

namespace velmora {
namespace {

constexpr uint32_t kDropFilesSize = 20;

bool KeptInUri(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~' || c == '/';
}

void PutUint32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::string UriListPayload(const std::string& absolutePath) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (char ch : absolutePath) {
    const auto c = static_cast<unsigned char>(ch);
    if (KeptInUri(c)) {
      uri += ch;
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 0x0F];
    }
  }
  uri += "\r\n";
  return uri;
}

std::vector<uint8_t> ExportedFileList(const std::string& path) {
  std::vector<uint8_t> block(kDropFilesSize + path.size() + 2, 0);
  PutUint32(block, 0, kDropFilesSize);  // pFiles
  PutUint32(block, 12, 1);              // fNC
  std::copy(path.begin(), path.end(), block.begin() + kDropFilesSize);
  return block;
}

}  // namespace velmora
