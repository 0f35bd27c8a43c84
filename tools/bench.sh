#!/usr/bin/env bash
# Prints every performance figure in one run:
#   - the script reader: walking a 1000-entry section, looking up [init] keys
#   - the install pacing: the real install against a bare paced reference
#   - start-up to the settings dialog against a message-box program (Wine)
# Usage: tools/bench.sh            builds what it needs, then measures
#        tools/bench.sh --built D  measures with the win64 build in D as it is
set -eu
cd "$(dirname "$0")/.."
root=$PWD

if [ "${1:-}" = --built ]; then
    win64=$2
else
    tools/deps.sh
    win64=$root/build/win64
    cmake --preset win64 >/dev/null
    cmake --build --preset win64 --target setup install_pacing startup_bench message_box_reference
fi
cmake --preset native >/dev/null
cmake --build --preset native --target reader_bench >/dev/null

echo "== script reader (native, -O2)"
build/native/tools/bench/reader_bench --benchmark_min_time=1 2>/dev/null |
    grep -E '^(Benchmark|Walk|LookUp)'

state=$root/build/bench-wine
tools/wine-env.sh start "$state" >/dev/null
trap 'tools/wine-env.sh stop "$state" >/dev/null' EXIT
echo "== install pacing (wine64, 300 files of 4 KiB)"
tools/wine-run.sh "$state" "$win64/tools/bench/install_pacing/install_pacing.exe" 300 5 | tail -n 1

echo "== start-up (wine64)"
tools/wine-run.sh "$state" "$win64/tools/bench/startup/startup_bench.exe" \
    "$win64/setup.exe" "$root/examples/medium" \
    "$win64/tools/bench/startup/message_box_reference.exe" 7 | tail -n 1
