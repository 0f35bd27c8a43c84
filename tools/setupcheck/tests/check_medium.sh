#!/usr/bin/env bash
# Runs setupcheck on one test medium and compares its exit status and its
# findings (severity, code, line) with the medium's expect.txt, exactly. A
# medium without expect.txt must pass clean: exit 0 and no finding at all.
#
#   check_medium.sh [--emulator <program>]... <setupcheck> <medium-folder>
#
# An emulator (the Wine runner for the Windows build) runs setupcheck inside
# the medium folder, without arguments, so that no Linux path reaches it; the
# Windows build's output is in the console's code page (Shift-JIS there) and
# is converted before the findings are read.
set -u
emulator=()
while [ "${1:-}" = --emulator ]; do
    emulator+=("$2")
    shift 2
done
checker=$1
medium=$2
expect=$medium/expect.txt

if [ ${#emulator[@]} -gt 0 ]; then
    # The Windows run-time writes CR LF.
    output=$(cd "$medium" && "${emulator[@]}" "$checker" | iconv -f CP932 -t UTF-8 | tr -d '\r'
             exit "${PIPESTATUS[0]}")
    status=$?
    json=$(cd "$medium" && "${emulator[@]}" "$checker" --json | tr -d '\r')
else
    output=$("$checker" "$medium")
    status=$?
    json=$("$checker" --json "$medium")
fi

if [ -f "$expect" ]; then
    want_status=$(sed -n 's/^exit //p' "$expect")
    want=$(grep -E '^(warning|error) ' "$expect" | sort)
else
    want_status=0
    want=
fi
# "  line 12:  error [missing-source] ..." -> "error missing-source 12"
got=$(printf '%s\n' "$output" |
      sed -n 's/^  \(line \([0-9]*\)\|-\): *\(warning\|error\) \[\([a-z0-9-]*\)\].*/\3 \4 \2/p' |
      sed 's/ $/ 0/' | sort)

failed=0
if [ "$status" != "$want_status" ]; then
    echo "exit status $status, expected $want_status"
    failed=1
fi
if [ "$got" != "$want" ]; then
    echo "findings differ (- expected, + reported):"
    diff <(printf '%s\n' "$want") <(printf '%s\n' "$got") | sed -n 's/^</-/p; s/^>/+/p'
    failed=1
fi
# The JSON form carries the same verdict and is plain ASCII.
if ! printf '%s\n' "$json" | grep -q "\"exit_status\": $want_status\$"; then
    echo "JSON without \"exit_status\": $want_status"
    failed=1
fi
if printf '%s' "$json" | LC_ALL=C grep -q '[^ -~[:space:]]'; then
    echo "JSON holds bytes outside printable ASCII"
    failed=1
fi
if command -v python3 >/dev/null && ! printf '%s\n' "$json" | python3 -m json.tool >/dev/null; then
    echo "JSON does not parse"
    failed=1
fi
if [ $failed -ne 0 ]; then
    echo "--- report on $medium"
    printf '%s\n' "$output"
fi
exit $failed
