# Sourced by the scripts that build and run the sanitized programs (fuzz.sh, sanitize.sh): the
# check of their run length, the build directory, llvm-symbolizer on the PATH for readable stack
# traces, and a check that LeakSanitizer can run here.

export PATH=/usr/lib/llvm-14/bin:$PATH

# Ends the script with the usage and status 2 unless the first argument is a whole number of
# seconds, at least 1: libFuzzer takes 0 for no limit, and a target name in its place would run
# every target with none.
check_seconds() {
  local seconds=$1 usage=$2
  [[ $seconds =~ ^[1-9][0-9]*$ ]] && return
  echo "${0##*/}: not a number of seconds: '$seconds'" >&2
  echo "Usage: $usage" >&2
  exit 2
}

# Configures build-fuzz (clang, ASan+UBSan, libFuzzer coverage) with Ninja, or with the generator
# it was first configured with.
configure_fuzz_build() {
  local generator=(-G Ninja)
  [ -f build-fuzz/CMakeCache.txt ] && generator=()
  cmake "${generator[@]}" -B build-fuzz -S . -DGRAINLINK_FUZZ=ON >/dev/null
}

# Runs the given sanitized command, which must exit at once; where LeakSanitizer cannot work (it
# stops the process's threads with ptrace, which some containers and debuggers deny), leaks are
# not checked, and the script says so.
check_leak_detection() {
  if "$@" 2>&1 >/dev/null | grep -q "LeakSanitizer has encountered a fatal error"; then
    echo "LeakSanitizer cannot run on this machine: leaks are not checked"
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
  fi
}
