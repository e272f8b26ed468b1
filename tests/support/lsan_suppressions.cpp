// Linked into every test program. Leaks of system libraries that LeakSanitizer should not report: fontconfig
// keeps caches it never frees while Qt lays out text.
extern "C" const char* __lsan_default_suppressions();   // NOLINT(bugprone-reserved-identifier)
extern "C" const char* __lsan_default_suppressions() {  // NOLINT(bugprone-reserved-identifier)
  return "leak:libfontconfig.so\n";
}
