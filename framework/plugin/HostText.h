#pragma once

#include <cstddef>
#include <string>

namespace velmora {

// Copies text into a host-supplied buffer of capacity bytes, cutting it to
// capacity - 1 bytes and always terminating it. A null buffer is left alone.
void CopyToHost(void* buffer, const char* text, size_t capacity);

// Reads a host's C text, never more than maxLength bytes, so that a buffer
// the host forgot to terminate cannot send us running through its memory.
std::string ReadHostText(const void* text, size_t maxLength);

}  // namespace velmora
