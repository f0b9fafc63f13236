#pragma once

namespace velmora {

// A trace line for the platform's debug output (the debugger's output window
// on Windows; dropped from release builds elsewhere). Formatted like printf,
// at most 4093 characters, trailing white space removed, CR LF appended. It
// has no effect on the user interface.
void DebugTrace(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The platform's sink for one finished line.
void WriteDebugOutput(const char* line);

}  // namespace velmora
