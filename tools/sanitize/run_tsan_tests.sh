#!/usr/bin/env bash
# Builds the suites that start threads (the import with its clash question, clearing, the
# download, the wait window, the prompter) with ThreadSanitizer into build-tsan/ and runs each of
# their tests KVO_TSAN_REPEATS times (20 unless told); any report fails its test.
#   tools/sanitize/run_tsan_tests.sh [BUILD_FOLDER]
# KVO_TSAN_JOBS sets the build's parallel jobs (6), KVO_TSAN_TESTS the tests run at once (4).
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$here/build-tsan}
repeats=${KVO_TSAN_REPEATS:-20}
jobs=${KVO_TSAN_JOBS:-6}
parallel=${KVO_TSAN_TESTS:-4}
# Executables, or executable:prefix for the tests of one that start threads.
suites=(test_exchange_transfer test_exchange_dialogs test_exchange_main test_exchange_killed_import
        test_exchange_clear test_exchange_download test_shell_wait test_platform_forms:GuiCall.)
flags="-fsanitize=thread -fno-omit-frame-pointer"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" \
  -DKVO_VALGRIND=OFF >/dev/null
cmake --build "$build" -j"$jobs" --target "${suites[@]%%:*}"
# The tests of those suites by their executables' names (each test runs in its own process).
tests=$(ctest --test-dir "$build" --show-only=json-v1 | /usr/bin/python3 -c '
import json, os, sys
suites = [a.partition(":") for a in sys.argv[1:]]
names = [t["name"] for t in json.load(sys.stdin)["tests"] if t.get("command") and any(
         os.path.basename(t["command"][0]) == exe and t["name"].startswith(prefix) for exe, _, prefix in suites)]
print("\n".join(names))' "${suites[@]}")
[ -n "$tests" ] || { echo "no tests found in $build" >&2; exit 1; }
pattern="^($(echo "$tests" | sed 's/[][\\.*^$+?(){}|/]/\\&/g' | paste -sd'|'))\$"
echo "$(echo "$tests" | wc -l) tests, $repeats runs each"
# halt_on_error: a report fails the test at once; the suppressions hide only Qt's and GLib's
# own inside, which is not built for ThreadSanitizer.
TSAN_OPTIONS="suppressions=$here/tools/sanitize/tsan.supp halt_on_error=1 exitcode=66 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
  ctest --test-dir "$build" -R "$pattern" --repeat until-fail:"$repeats" -j"$parallel" --output-on-failure
