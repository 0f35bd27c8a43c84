#!/usr/bin/env bash
# Runs every test, from a clean clone on a fresh machine:
#   native  unit tests with AddressSanitizer and UBSan, and brief fuzzing
#   win32   the setup.exe we ship: its binary checks, then the Windows and
#           end-to-end tests that drive its windows under Wine
#   win64   the same tests on the 64-bit build of the same sources
# Ends with one line "total: N passed, M failed".
set -uo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh || exit 1

# deps.sh has probed whether this machine executes 32-bit code.
run32=ON
if [ "$(head -n 1 build/can-run-32 2>/dev/null)" != yes ]; then
    run32=OFF
    echo "NOTE: the 32-bit setup.exe was built and checked but not run: $(sed -n 2p build/can-run-32 2>/dev/null || echo 'deps.sh did not probe')"
fi

passed=0 failed=0 broken=()
for preset in native win32 win64; do
    echo "==== $preset"
    options=()
    [ "$preset" = win32 ] && options=(-DPELMORA_CAN_RUN=$run32)
    if ! cmake --preset "$preset" "${options[@]}" >/dev/null || ! cmake --build --preset "$preset"; then
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

[ "$run32" = ON ] || echo "NOTE: 32-bit runs skipped: $(sed -n 2p build/can-run-32 2>/dev/null)"
[ ${#broken[@]} -eq 0 ] || echo "failing: ${broken[*]}"
echo "total: $passed passed, $failed failed"
[ ${#broken[@]} -eq 0 ]
