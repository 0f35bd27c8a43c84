#!/usr/bin/env bash
# Runs every fuzz target long: tools/fuzz.sh [seconds per target, default 600]
# New inputs are kept in build/native/tests/fuzz/corpus-<name>; a crash leaves
# its input as crash-* in the current folder.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-600}
tools/deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target reader_fuzz settings_fuzz install_fuzz
for name in reader settings install; do
    work=build/native/tests/fuzz/corpus-$name
    mkdir -p "$work"
    echo "== $name: $seconds s"
    build/native/tests/fuzz/${name}_fuzz -max_total_time="$seconds" -print_final_stats=1 \
        "$work" tests/fuzz/corpus/$name 2>&1 |
        grep -E 'stat::number_of_executed_units|stat::peak_rss_mb|ERROR|SUMMARY' || true
done
