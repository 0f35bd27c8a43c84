#!/usr/bin/env bash
# Runs every test, from a clean clone on a fresh machine:
#   native  unit tests with AddressSanitizer and UBSan, and brief fuzzing
#   win32   the setup.exe we ship: imports, subsystem version, resources, size
#   win64   the setup.exe we run here: Windows tests and end-to-end tests
#           that drive its windows under Wine
# Ends with one line "total: N passed, M failed".
set -uo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh || exit 1

passed=0 failed=0 broken=()
for preset in native win32 win64; do
    echo "==== $preset"
    if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset"; then
        broken+=("$preset (build)")
        continue
    fi
    log=build/$preset-ctest.log
    ctest --preset "$preset" 2>&1 | tee "$log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || broken+=("$preset")
    summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    if [ -n "$summary" ]; then
        total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
        bad=$(sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/' <<<"$summary")
        passed=$((passed + total - bad))
        failed=$((failed + bad))
    fi
done

[ ${#broken[@]} -eq 0 ] || echo "failing: ${broken[*]}"
echo "total: $passed passed, $failed failed"
[ ${#broken[@]} -eq 0 ]
