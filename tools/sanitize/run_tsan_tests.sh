#!/usr/bin/env bash
# Builds every suite that starts a thread with ThreadSanitizer into build-tsan/ and runs each of
# their tests KVO_TSAN_REPEATS times (20 unless told); any report fails its test. Before that it
# runs the canaries (tests/platform/forms/HandOverCanary.cpp), hand-overs without their ordering,
# and fails unless each is reported: tools/sanitize/tsan.supp must hide none of our own code.
# First of all, before anything is built, it fails unless every suppression names only a shared
# library not built from our source (tools/sanitize/check_suppressions.py).
#   tools/sanitize/run_tsan_tests.sh [BUILD_FOLDER]
# KVO_TSAN_JOBS sets the build's parallel jobs (6), KVO_TSAN_TESTS the tests run at once (4),
# KVO_TSAN_SUPPRESSIONS another suppression file (tools/sanitize/tsan.supp).
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$here/build-tsan}
suppressions=${KVO_TSAN_SUPPRESSIONS:-$here/tools/sanitize/tsan.supp}
/usr/bin/python3 "$here/tools/sanitize/check_suppressions.py" tsan "$suppressions"
# A suppression file given in TSAN_OPTIONS would take the place of the checked one.
if [[ " ${TSAN_OPTIONS:-}" =~ [\ :]suppressions= ]]; then
  echo "give the suppression file in KVO_TSAN_SUPPRESSIONS, not in TSAN_OPTIONS" >&2
  exit 1
fi
repeats=${KVO_TSAN_REPEATS:-20}
jobs=${KVO_TSAN_JOBS:-6}
parallel=${KVO_TSAN_TESTS:-4}
# Every suite in which some test starts a thread (found by logging pthread_create over the whole
# plain suite): our workers (WThread under the wait window: import, export, clearing, download,
# upload; std::thread in tests), the import child's (killed_import, long_line), the file dialog's
# model threads (platform_forms) and Qt's own painting pool, which draws any large window.
suites=(test_catalogue_ingredients test_catalogue_ingredients_main test_catalogue_main
        test_catalogue_meals test_catalogue_meals_main test_catalogue_menu_items
        test_catalogue_menu_items_main test_catalogue_people test_database_errors test_dialogs_lists
        test_dialogs_notes test_exchange_clear test_exchange_download test_exchange_killed_import
        test_exchange_long_line test_exchange_main test_exchange_transfer test_exchange_upload
        test_form_sizes test_platform_forms test_platform_report_pages test_resources_report_pages
        test_shell_dialogs test_shell_wait test_startup test_trips_editor test_trips_editor_main
        test_trips_reports test_trips_stops test_trips_wizard_main)
flags="-fsanitize=thread -fno-omit-frame-pointer"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" \
  -DKVO_VALGRIND=OFF >/dev/null
cmake --build "$build" -j"$jobs" --target "${suites[@]}" tsan_canary
# halt_on_error: a report fails the test at once.
options="suppressions=$suppressions halt_on_error=1 exitcode=66 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"

# Each canary must end in a report whose racing access lies in the canary's own file.
canary=$build/tests/platform/forms/tsan_canary
log=$build/tsan_canary.log
for test in $(QT_QPA_PLATFORM=offscreen "$canary" --gtest_list_tests | awk '/^[^ ]/ {suite = $1} /^  [^ ]/ {print suite $1}'); do
  status=0
  TSAN_OPTIONS="$options" QT_QPA_PLATFORM=offscreen "$canary" --gtest_filter="$test" >"$log" 2>&1 || status=$?
  if [ "$status" -eq 0 ] || ! grep -q '^SUMMARY: ThreadSanitizer: data race .*/HandOverCanary\.cpp:' "$log"; then
    cat "$log" >&2
    echo "the canary $test was not reported: tsan.supp hides a race in our own code" >&2
    exit 1
  fi
  echo "canary $test: reported"
done

# The tests of those suites by their executables' names (each test runs in its own process),
# given to CTest by number: a pattern of all their names is more than its expressions can hold.
numbers=$(ctest --test-dir "$build" --show-only=json-v1 | /usr/bin/python3 -c '
import json, os, sys
suites = set(sys.argv[1:])
print(",".join(str(number) for number, test in enumerate(json.load(sys.stdin)["tests"], 1)
               if test.get("command") and os.path.basename(test["command"][0]) in suites))' "${suites[@]}")
[ -n "$numbers" ] || { echo "no tests found in $build" >&2; exit 1; }
echo "$(echo "$numbers" | tr ',' '\n' | wc -l) tests of ${#suites[@]} suites, $repeats runs each"
TSAN_OPTIONS="$options" \
  ctest --test-dir "$build" -I "0,0,0,$numbers" --repeat until-fail:"$repeats" -j"$parallel" --output-on-failure
