// Allocations that libraries make once per process and never free, which
// are not ours to release (see tests/graphics/LeakSuppressions.cpp). Exported
// so that the sanitizer runtime finds them.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
