#!/usr/bin/env bash
# Configures and builds Kestavo into build/ (the staged program folder is build/Kestavo/).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KVO_BUILD_DIR:-$here/build}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${KVO_BUILD_TYPE:-RelWithDebInfo} >/dev/null
cmake --build "$build" -j"$(nproc)"
