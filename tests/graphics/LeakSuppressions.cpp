// fontconfig keeps a small allocation from FcInit that it never frees; it is
// not ours to release (FcFini would pull the configuration from under any
// other fontconfig user in the host), so leak checking skips it. Exported so
// that a shared sanitizer runtime finds it too.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
