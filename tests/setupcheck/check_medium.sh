#!/usr/bin/env bash
# Runs setupcheck on one test medium in both languages. The English report's
# exit status and findings (severity, code, line) must match the medium's
# expect.txt exactly (a medium without one must pass clean: exit 0, no
# finding); the Japanese report must equal <expect-ja> line for line; the
# JSON form must be the same in both languages.
#
#   check_medium.sh <setupcheck> <medium-folder> <expect-ja> [<emulator command>...]
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
checker=$1 medium=$2 expect_ja=$3
shift 3
emulator=("$@")
expect=$medium/expect.txt
failed=0
fail() { printf '%s\n' "$@"; failed=1; }
# "- expected, + got" lines of two texts.
differ() { diff <(printf '%s\n' "$1") <(printf '%s\n' "$2") | sed -n 's/^</-/p; s/^>/+/p'; }

if [ ${#emulator[@]} -gt 0 ]; then
    # The Windows run-time writes CR LF.
    run() { (cd "$medium" && "${emulator[@]}" "$checker" "$@" | iconv -f CP932 -t UTF-8 | tr -d '\r'
             exit "${PIPESTATUS[0]}"); }
    output=$(run --lang en)
else
    run() { (cd "$medium" && env -u LC_ALL -u LC_MESSAGES LANG=ja_JP.UTF-8 "$checker" "$@"); }
    output=$(LC_ALL=C "$checker" "$medium")
fi
status=$?
japanese=$(run)
ja_status=$?
json=$(run --json --lang en)
json_ja=$(run --json --lang ja)

want_status=0
want=
if [ -f "$expect" ]; then
    want_status=$(sed -n 's/^exit //p' "$expect")
    want=$(grep -E '^(warning|error) ' "$expect" | sort)
fi
# "  line 12:  error [missing-source] ..." -> "error missing-source 12"
got=$(printf '%s\n' "$output" |
      sed -n 's/^  \(line \([0-9]*\)\|-\): *\(warning\|error\) \[\([a-z0-9-]*\)\].*/\3 \4 \2/p' |
      sed 's/ $/ 0/' | sort)

[ "$status" = "$want_status" ] && [ "$ja_status" = "$want_status" ] ||
    fail "exit status $status (English), $ja_status (Japanese), expected $want_status"
[ "$got" = "$want" ] || fail "findings differ (- expected, + reported):" "$(differ "$want" "$got")"
if [ ! -f "$expect_ja" ]; then
    fail "no $expect_ja; the Japanese report was:" "$japanese"
else
    # Windows finds every name as written: the Linux notes on case and
    # UTF-8 names on disk never appear there.
    want_ja=$(cat "$expect_ja")
    [ ${#emulator[@]} -eq 0 ] ||
        want_ja=$(sed 's/、ディスク上は大文字小文字が違う名前//; s/、ディスク上は UTF-8 の名前//' "$expect_ja")
    [ "$japanese" = "$want_ja" ] || fail "Japanese report differs from $expect_ja (- expected, + reported):" \
        "$(differ "$want_ja" "$japanese")"
fi
# The JSON form carries the same verdict in both languages and is plain ASCII.
[ "$json" = "$json_ja" ] || fail "JSON differs between English and Japanese"
printf '%s\n' "$json" | grep -q "\"exit_status\": $want_status\$" ||
    fail "JSON without \"exit_status\": $want_status"
printf '%s' "$json" | LC_ALL=C grep -q '[^ -~[:space:]]' && fail "JSON holds bytes outside printable ASCII"
command -v python3 >/dev/null && ! printf '%s\n' "$json" | python3 -m json.tool >/dev/null &&
    fail "JSON does not parse"
[ $failed -eq 0 ] || printf -- '--- English report on %s\n%s\n' "$medium" "$output"
exit $failed
