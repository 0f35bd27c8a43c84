#!/bin/sh
# Enters the import and resource directories of setup.exe in its PE header,
# from the RVAs that cmake/setup.ld leaves in the link map, and then the
# header checksum. The linker would only find them in sections of their own.
#   pe_directories.sh setup.exe setup.map
set -eu
exe=$1 map=$2

# The value of an assignment "__name__ = ..." in the link map.
symbol() {
    value=$(sed -n "s/^ *\(0x[0-9a-f]*\) *$1 = .*/\1/p" "$map")
    [ -n "$value" ] || { echo "pe_directories: $1 missing in $map" >&2; exit 1; }
    printf '%d' "$value"
}
# Little-endian unsigned at a file offset.
get() { od -An -tu"$2" -j "$1" -N "$2" "$exe" | tr -d ' '; }
put32() {
    v=$2
    printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $((v & 255)) $((v >> 8 & 255)) \
        $((v >> 16 & 255)) $((v >> 24 & 255)))" |
        dd of="$exe" bs=1 seek="$1" conv=notrunc status=none
}

import=$(symbol __import_rva__)
import_end=$(symbol __import_end_rva__)
resource=$(symbol __resource_rva__)
resource_end=$(symbol __resource_end_rva__)

pe=$(get 60 4)
optional=$((pe + 24))
case $(get $optional 2) in
    267) directories=$((optional + 96)) ;;   # PE32
    523) directories=$((optional + 112)) ;;  # PE32+
    *) echo "pe_directories: $exe is no PE image" >&2; exit 1 ;;
esac
put32 $((directories + 8)) "$import"
put32 $((directories + 12)) $((import_end - import))
put32 $((directories + 16)) "$resource"
put32 $((directories + 20)) $((resource_end - resource))

# The checksum: the file's 16-bit words summed with end-around carry, the
# checksum field itself counted as zero, plus the file's length.
checksum=$((optional + 64))
put32 $checksum 0
sum=$(od -An -tu2 -v "$exe" | awk -v size="$(wc -c < "$exe")" '
    { for (i = 1; i <= NF; i++) { s += $i; if (s > 65535) s = s % 65536 + 1 } }
    END { printf "%d", s + size }')
put32 $checksum "$sum"
