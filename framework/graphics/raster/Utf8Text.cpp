#include "framework/graphics/raster/Utf8Text.h"

namespace velmora {

namespace {

bool Continuations(const unsigned char* p, std::size_t available, std::size_t count) {
  if (available < count + 1) return false;
  for (std::size_t i = 1; i <= count; ++i) {
    if ((p[i] & 0xc0) != 0x80) return false;
  }
  return true;
}

}  // namespace

std::vector<std::uint32_t> DecodeTextCharacters(const char* text, std::size_t length) {
  std::vector<std::uint32_t> out;
  if (!text) return out;
  out.reserve(length);
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  std::size_t i = 0;
  while (i < length) {
    const unsigned char b = p[i];
    const std::size_t left = length - i;
    if ((b & 0xe0) == 0xc0 && Continuations(p + i, left, 1)) {
      out.push_back((std::uint32_t(b & 0x1f) << 6) | (p[i + 1] & 0x3f));
      i += 2;
    } else if ((b & 0xf0) == 0xe0 && Continuations(p + i, left, 2)) {
      out.push_back((std::uint32_t(b & 0x0f) << 12) | (std::uint32_t(p[i + 1] & 0x3f) << 6) | (p[i + 2] & 0x3f));
      i += 3;
    } else if ((b & 0xf8) == 0xf0 && Continuations(p + i, left, 3)) {
      out.push_back(' ');
      i += 4;
    } else {
      out.push_back(b);
      i += 1;
    }
  }
  return out;
}

}  // namespace velmora
