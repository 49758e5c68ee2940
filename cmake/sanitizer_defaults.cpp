// Runtime options of the sanitizers, built into every program of a sanitized build, so that a test
// run by hand, the server a test starts and a fuzz target behave as they do under the scripts.
// Options given in ASAN_OPTIONS, UBSAN_OPTIONS or LSAN_OPTIONS still win.
//
// There are no leak suppressions: the whole suite, Qt and fontconfig included, runs without a
// leak report. A third-party library's own leak would be suppressed here, in
// __lsan_default_suppressions(), by the library's file name ("leak:libfontconfig.so"); a leak in
// this project's code never is.

#define GRAINLINK_SANITIZER_HOOK extern "C" __attribute__((visibility("default"), used)) const char*

// Stop at the first error; leaks are errors too. Globals must not use other translation units'
// globals before these are constructed.
GRAINLINK_SANITIZER_HOOK __asan_default_options()
{
    return "halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1";
}

GRAINLINK_SANITIZER_HOOK __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}
