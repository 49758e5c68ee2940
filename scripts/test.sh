#!/usr/bin/env bash
# Installs what is missing, builds GrainLink and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
cmake -G Ninja -B build -S . -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2
