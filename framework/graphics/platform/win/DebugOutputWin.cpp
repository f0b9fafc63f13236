#include <windows.h>

#include "framework/graphics/DebugTrace.h"

namespace velmora {

void WriteDebugOutput(const char* line) { OutputDebugStringA(line); }

}  // namespace velmora
