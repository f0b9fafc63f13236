// Without a debugger's output window, development builds trace to the
// standard error stream and release builds drop the lines.
#include <cstdio>

#include "framework/graphics/DebugTrace.h"

namespace velmora {

void WriteDebugOutput([[maybe_unused]] const char* line) {
#ifndef NDEBUG
  std::fputs(line, stderr);
#endif
}

}  // namespace velmora
