#!/usr/bin/env bash
# Turns one Markdown document of docs/ into a text file for Windows: plain
# text, Shift-JIS, CR LF, no larger than Notepad on Windows 95 opens.
#
#   tools/kit/text.sh <input.md> <output.txt>
#
# Headings are underlined, code blocks indented, tables written as one
# entry a row with the column names before the cells; ** and link targets
# go. A character that Shift-JIS cannot hold stops the build with the line
# it stands on, so no "?" ever reaches a vendor.
set -euo pipefail
input=$1
output=$2
# Notepad on Windows 95 refuses files of 64 KiB and more.
limit=65535

if ! iconv -f UTF-8 -t CP932 "$input" >/dev/null 2>&1; then
    number=0
    while IFS= read -r line || [ -n "$line" ]; do
        number=$((number + 1))
        if ! printf '%s' "$line" | iconv -f UTF-8 -t CP932 >/dev/null 2>&1; then
            echo "$input:$number: a character here has no Shift-JIS form: $line" >&2
        fi
    done <"$input"
    exit 1
fi

# Headings are followed by a marker line ("\001" and the underline
# character); after the conversion each byte is one column, so the marker
# becomes an underline as wide as the heading.
awk '
function inline(text) {
    gsub(/\*\*/, "", text)
    while (match(text, /\[[^]]*\]\([^)]*\)/)) {
        link = substr(text, RSTART, RLENGTH)
        sub(/\]\(.*/, "", link)
        text = substr(text, 1, RSTART - 1) substr(link, 2) substr(text, RSTART + RLENGTH)
    }
    return text
}
# The cells of a table row "| a | b |", split where a blank stands on both
# sides of the bar, so that `name|target` stays one cell.
function cells(row, out,    n) {
    sub(/^\| */, "", row)
    sub(/ *\|$/, "", row)
    return split(row, out, / \| /)
}
/^```/ { code = !code; next }
code { print ($0 == "" ? "" : "    " $0); next }
/^\|/ {
    if ($0 ~ /^\|[-| :]*$/) next
    if (!table) {
        columns = cells($0, header)
        table = 1
        next
    }
    n = cells($0, cell)
    print "- " inline(cell[1])
    for (i = 2; i <= n; i++)
        if (cell[i] != "")
            print "    " inline(header[i]) ": " inline(cell[i])
    next
}
{ table = 0 }
/^#+ / {
    level = index($0, " ") - 1
    text = inline(substr($0, level + 2))
    print text
    print "\001" (level == 1 ? "=" : level == 2 ? "-" : "~")
    next
}
{ print inline($0) }
' "$input" |
    iconv -f UTF-8 -t CP932 |
    LC_ALL=C awk '
/^\001/ { line = ""; for (i = 0; i < length(previous); i++) line = line substr($0, 2, 1); print line; next }
{ print; previous = $0 }
' |
    sed 's/$/\r/' >"$output.tmp"

size=$(wc -c <"$output.tmp")
if [ "$size" -gt $limit ]; then
    echo "$output: $size bytes, more than Notepad on Windows 95 opens ($limit)" >&2
    rm -f "$output.tmp"
    exit 1
fi
mv "$output.tmp" "$output"
