#!/usr/bin/env bash
# Builds the whole tree with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and
# runs every test there, end-to-end ones included, with leak checking on; any sanitizer report
# fails its test. (valgrind cannot run a sanitized program, so its end-to-end run is left to the
# plain build.)
# Before anything is built it fails unless every leak suppression names only a shared library
# not built from our source (tools/sanitize/check_suppressions.py).
#   tools/sanitize/run_sanitized_tests.sh [BUILD_FOLDER]
# KVO_SANITIZE_JOBS sets the build's parallel jobs (6), KVO_SANITIZE_TESTS the tests run at once (4),
# KVO_LSAN_SUPPRESSIONS another leak suppression file (tools/sanitize/lsan.supp).
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$here/build-asan}
suppressions=${KVO_LSAN_SUPPRESSIONS:-$here/tools/sanitize/lsan.supp}
/usr/bin/python3 "$here/tools/sanitize/check_suppressions.py" lsan "$suppressions"
jobs=${KVO_SANITIZE_JOBS:-6}
parallel=${KVO_SANITIZE_TESTS:-4}
flags="-fsanitize=address,undefined -fno-omit-frame-pointer"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug "${launcher[@]}" \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" -DKVO_VALGRIND=OFF >/dev/null
cmake --build "$build" -j"$jobs"
# The leak checker reads its suppressions from LSAN_OPTIONS only (tools/sanitize/lsan.supp: what
# a library keeps until exit); the end-to-end harness hands all three option variables on to the
# program. print_suppressions=0: a suppressed leak leaves no line in any output. The end-to-end
# tests preload libfaketime ahead of the sanitizer runtime.
ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions=$suppressions:print_suppressions=0 \
  ctest --test-dir "$build" --output-on-failure -j"$parallel"
