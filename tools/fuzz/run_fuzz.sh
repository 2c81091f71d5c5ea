#!/usr/bin/env bash
# Builds the fuzzers with clang (libFuzzer, AddressSanitizer, UBSan) in a build folder of their
# own and runs one of them for the given number of seconds (or KVO_FUZZ_RUNS executions, when
# set, whichever ends first).
#   tools/fuzz/run_fuzz.sh [seconds=120] [build folder=build-fuzz] [fuzzer=QVUnzipFuzzer]
# Fuzzers: QVUnzipFuzzer (the archive unpacker), TableDataFuzzer (the table data file reader).
set -euo pipefail
seconds=${1:-120}
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${2:-$root/build-fuzz}
fuzzer=${3:-QVUnzipFuzzer}
for tool in clang clang++; do
  command -v "$tool" >/dev/null || { echo "run_fuzz.sh: $tool is needed (Debian: clang libclang-rt-dev)" >&2; exit 1; }
done
case "$fuzzer" in
  QVUnzipFuzzer) seeds=make_seeds.py; dict=zip.dict; max_len=4096 ;;
  TableDataFuzzer) seeds=make_table_seeds.py; dict=table.dict; max_len=8192 ;;
  *) echo "run_fuzz.sh: no fuzzer named $fuzzer" >&2; exit 2 ;;
esac

CC=clang CXX=clang++ cmake -S "$root/tools/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target "$fuzzer"

corpus=$build/corpus-$fuzzer
/usr/bin/python3 "$root/tools/fuzz/$seeds" "$corpus"
# Every input is written to a file: on a memory file system when there is one, which is many
# times faster than a disk.
work=$build/work
[ -d /dev/shm ] && [ -w /dev/shm ] && work=$(mktemp -d /dev/shm/kvo-fuzz-XXXXXX)
mkdir -p "$build/artifacts" "$work"
log=$build/fuzz-$fuzzer.log
runs=()
[ -n "${KVO_FUZZ_RUNS:-}" ] && runs=(-runs="$KVO_FUZZ_RUNS")
set +e
KVO_FUZZ_WORK=$work "$build/$fuzzer" "$corpus" \
  -dict="$root/tools/fuzz/$dict" -max_len="$max_len" -timeout=10 -rss_limit_mb=4096 \
  -max_total_time="$seconds" "${runs[@]}" -print_final_stats=1 -artifact_prefix="$build/artifacts/" >"$log" 2>&1
status=$?
set -e
[ "$work" != "$build/work" ] && rm -rf "$work"
tail -n 20 "$log"
executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
if [ "$status" -eq 0 ]; then
  echo "$fuzzer: ${executed:-?} executions in at most ${seconds}s, no fault found."
else
  echo "$fuzzer: stopped with status $status after ${executed:-?} executions; see $log and $build/artifacts/" >&2
fi
exit "$status"
