#!/usr/bin/env bash
# Builds the whole tree with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and
# runs every test there; any sanitizer report fails its test. (valgrind cannot run a sanitized
# program, so its end-to-end run is left to the plain build.)
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$here/build-asan}
flags="-fsanitize=address,undefined -fno-omit-frame-pointer"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" -DKVO_VALGRIND=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
# Qt and fontconfig keep caches until exit, which the leak checker would report; the end-to-end
# tests preload libfaketime ahead of the sanitizer runtime.
ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
