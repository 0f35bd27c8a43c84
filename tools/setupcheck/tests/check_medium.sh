#!/usr/bin/env bash
# Runs setupcheck on one test medium in both languages. The English report's
# exit status and findings (severity, code, line) must match the medium's
# expect.txt exactly (a medium without one must pass clean: exit 0, no
# finding); the Japanese report must equal <expect-ja> line for line; the
# JSON form must be the same in both languages.
#
#   check_medium.sh [--emulator <program>]... <setupcheck> <medium-folder> <expect-ja>
#
# An emulator (the Wine runner for the Windows build) runs setupcheck inside
# the medium folder, without a folder argument, so that no Linux path reaches
# it; the Windows build's output is in the console's code page (Shift-JIS
# there) and is converted before it is read. The Japanese report comes from
# the user's language in both cases: LANG natively, the Japanese locale of
# the Wine prefix under the emulator.
#
# To write <expect-ja> after a deliberate change, review the output of
#   (cd <medium> && LANG=ja_JP.UTF-8 LC_ALL= setupcheck)
set -u
emulator=()
while [ "${1:-}" = --emulator ]; do
    emulator+=("$2")
    shift 2
done
checker=$1
medium=$2
expect_ja=$3
expect=$medium/expect.txt

if [ ${#emulator[@]} -gt 0 ]; then
    # The Windows run-time writes CR LF.
    run() { (cd "$medium" && "${emulator[@]}" "$checker" "$@" | iconv -f CP932 -t UTF-8 | tr -d '\r'
             exit "${PIPESTATUS[0]}"); }
    output=$(run --lang en)
    status=$?
    japanese=$(run)
    ja_status=$?
else
    run() { (cd "$medium" && env -u LC_ALL -u LC_MESSAGES LANG=ja_JP.UTF-8 "$checker" "$@"); }
    output=$(LC_ALL=C "$checker" "$medium")
    status=$?
    japanese=$(run)
    ja_status=$?
fi
json=$(run --json --lang en)
json_ja=$(run --json --lang ja)

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
if [ "$status" != "$want_status" ] || [ "$ja_status" != "$want_status" ]; then
    echo "exit status $status (English), $ja_status (Japanese), expected $want_status"
    failed=1
fi
if [ "$got" != "$want" ]; then
    echo "findings differ (- expected, + reported):"
    diff <(printf '%s\n' "$want") <(printf '%s\n' "$got") | sed -n 's/^</-/p; s/^>/+/p'
    failed=1
fi
if [ ! -f "$expect_ja" ]; then
    echo "no $expect_ja; the Japanese report was:"
    printf '%s\n' "$japanese"
    failed=1
else
    # Windows finds every name as written: the Linux notes on case and
    # UTF-8 names on disk never appear there.
    want_ja=$(cat "$expect_ja")
    if [ ${#emulator[@]} -gt 0 ]; then
        want_ja=$(sed 's/、ディスク上は大文字小文字が違う名前//; s/、ディスク上は UTF-8 の名前//' "$expect_ja")
    fi
    if [ "$japanese" != "$want_ja" ]; then
        echo "Japanese report differs from $expect_ja (- expected, + reported):"
        diff <(printf '%s\n' "$want_ja") <(printf '%s\n' "$japanese") | sed -n 's/^</-/p; s/^>/+/p'
        failed=1
    fi
fi
# The JSON form carries the same verdict in both languages and is plain ASCII.
if [ "$json" != "$json_ja" ]; then
    echo "JSON differs between English and Japanese"
    failed=1
fi
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
    echo "--- English report on $medium"
    printf '%s\n' "$output"
fi
exit $failed
