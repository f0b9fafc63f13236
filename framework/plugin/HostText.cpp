#include "framework/plugin/HostText.h"

#include <cstring>

namespace velmora {

void CopyToHost(void* buffer, const char* text, size_t capacity) {
  if (!buffer || capacity == 0) return;
  char* out = static_cast<char*>(buffer);
  size_t length = text ? strnlen(text, capacity - 1) : 0;
  if (length > 0) std::memcpy(out, text, length);
  out[length] = '\0';
}

std::string ReadHostText(const void* text, size_t maxLength) {
  if (!text) return std::string();
  const char* chars = static_cast<const char*>(text);
  return std::string(chars, strnlen(chars, maxLength));
}

}  // namespace velmora
