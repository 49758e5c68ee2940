// Runtime options of the sanitizers, built into every program of a sanitized build, so that a test
// run by hand, the server a test starts and a fuzz target behave as they do under the scripts.
// Options given in ASAN_OPTIONS, UBSAN_OPTIONS or LSAN_OPTIONS still win.

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

// Leaks of third-party libraries that are theirs to fix, matched by the library's file name. Only
// libraries outside this project belong here: a leak in GrainLink's own code is a fault to fix.
GRAINLINK_SANITIZER_HOOK __lsan_default_suppressions()
{
    return "";
}
