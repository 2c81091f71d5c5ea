#!/usr/bin/env bash
# Builds the QVUnzip fuzzer with clang (libFuzzer, AddressSanitizer, UBSan) in a build folder of
# its own and runs it for the given number of seconds.
#   tools/fuzz/run_fuzz.sh [seconds=120] [build folder=build-fuzz]
set -euo pipefail
seconds=${1:-120}
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${2:-$root/build-fuzz}
for tool in clang clang++; do
  command -v "$tool" >/dev/null || { echo "run_fuzz.sh: $tool is needed (Debian: clang libclang-rt-dev)" >&2; exit 1; }
done

CC=clang CXX=clang++ cmake -S "$root/tools/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"

corpus=$build/corpus
/usr/bin/python3 "$root/tools/fuzz/make_seeds.py" "$corpus"
mkdir -p "$build/artifacts" "$build/work"
log=$build/fuzz.log
set +e
KVO_FUZZ_WORK=$build/work "$build/QVUnzipFuzzer" "$corpus" \
  -dict="$root/tools/fuzz/zip.dict" -max_len=4096 -timeout=10 -rss_limit_mb=4096 \
  -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/artifacts/" >"$log" 2>&1
status=$?
set -e
tail -n 20 "$log"
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
if [ "$status" -eq 0 ]; then
  echo "QVUnzip fuzzer: ${runs:-?} executions in ${seconds}s, no fault found."
else
  echo "QVUnzip fuzzer: stopped with status $status after ${runs:-?} executions; see $log and $build/artifacts/" >&2
fi
exit "$status"
