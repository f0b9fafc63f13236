#include "framework/graphics/DebugTrace.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace velmora {

void DebugTrace(const char* format, ...) {
  constexpr std::size_t kMaxText = 4093;
  char line[kMaxText + 3] = {};
  if (format != nullptr) {
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(line, kMaxText + 1, format, arguments);
    va_end(arguments);
    if (written < 0) return;
  }
  std::size_t length = std::strlen(line);
  while (length > 0 && (line[length - 1] == ' ' || line[length - 1] == '\t' || line[length - 1] == '\n' ||
                        line[length - 1] == '\r'))
    --length;
  line[length++] = '\r';
  line[length++] = '\n';
  line[length] = '\0';
  WriteDebugOutput(line);
}

}  // namespace velmora
