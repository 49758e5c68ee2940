#!/usr/bin/env bash
# Installs the Debian 12 packages GrainLink needs to build, test and run.
# Idempotent and non-interactive: only missing packages are installed. With --screenshots it
# also installs what scripts/screenshots.sh drives and captures the windows with; with --fuzz,
# clang with its sanitizer and libFuzzer runtimes and llvm-symbolizer, for scripts/fuzz.sh and
# scripts/sanitize.sh.
set -euo pipefail

# qt6-websockets-dev: Qt's HTTP server CMake package needs it, but Debian's qt6-httpserver-dev
# does not depend on it.
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-charts-dev qt6-serialport-dev libgl-dev libegl-dev libxkbcommon-dev
  qt6-httpserver-dev qt6-websockets-dev libcrypt-dev libjs-dygraphs chromium
  libmosquitto-dev mosquitto mosquitto-clients openssl
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  dpkg-dev lintian logrotate
  nodejs python3-jinja2
)
case "${1:-}" in
  --screenshots) packages+=(openbox xdotool x11-utils imagemagick optipng qt6ct) ;;
  --fuzz) packages+=(clang-14 libclang-rt-14-dev llvm-14) ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
