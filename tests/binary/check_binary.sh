#!/usr/bin/env bash
# Checks what a built setup.exe is made of:
#  - it imports only the system DLLs listed in allowed_dlls.txt (no C or C++
#    run-time DLL, which a clean Windows 95 does not have);
#  - the 32-bit build asks for subsystem version 4.0;
#  - the version block and a Japanese dialog string are in its resources.
#  - the shipped 32-bit build imports only functions that Windows 95 and
#    NT 4.0 both export (win95_nt4_imports.txt) and fits in 16 KiB.
# Usage: check_binary.sh setup.exe i686|x86_64 allowed_dlls.txt [functions.txt]
set -u
exe=$1 arch=$2 allowed=$3 functions=${4:-}
objdump=x86_64-w64-mingw32-objdump   # reads PE32 and PE32+ alike
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

headers=$($objdump -p "$exe") || { echo "FAIL: objdump cannot read $exe"; exit 1; }

while read -r dll; do
    grep -qixF "$dll" "$allowed" || fail "imports $dll, which is not a system DLL we allow"
done < <(printf '%s\n' "$headers" | sed -n 's/^\s*DLL Name: //p')
printf '%s\n' "$headers" | grep -qi 'DLL Name: KERNEL32.dll' || fail "no import of KERNEL32.dll at all"

if [ "$arch" = i686 ]; then
    printf '%s\n' "$headers" | grep -q 'file format pei-i386' || fail "not a PE32 image"
    printf '%s\n' "$headers" | grep -qE '^MajorSubsystemVersion\s+4$' || fail "major subsystem version is not 4"
    printf '%s\n' "$headers" | grep -qE '^MinorSubsystemVersion\s+0$' || fail "minor subsystem version is not 0"
fi

if [ -n "$functions" ]; then
    while read -r dll name; do
        grep -qixF "$dll $name" <(grep -v '^#' "$functions") ||
            fail "imports $dll $name, which is not on the Windows 95 / NT 4.0 list"
    done < <(printf '%s\n' "$headers" | awk '
        /^\tDLL Name: / { dll = $3; next }
        /^\t[0-9a-f]+\t +[0-9]+  / && dll != "" { print dll, $3 }
        /^$/ { dll = "" }')
fi

hex=$(od -An -tx1 -v "$exe" | tr -d ' \n')
utf16() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -d ' \n'; }
for text in "041104b0" "0, 50, 0, 1" "ぺるもらインストーラー" "OriginalFilename" "setup.exe" "  setup"; do
    case $hex in *"$(utf16 "$text")"*) ;; *) fail "resource text '$text' missing" ;; esac
done
# File and product version 0.50.0.1 in the fixed part of the version block.
case $hex in *"bd04effe"*"00000100""32000000""01000000""32000000""01000000"*) ;;
    *) fail "fixed version is not 0.50.0.1" ;; esac

size=$(stat -c %s "$exe")
if [ "$arch" = i686 ] && [ "$size" -gt 16384 ]; then
    fail "the shipped setup.exe is $size bytes, over 16 KiB"
fi
echo "$exe: $size bytes, $arch, imports: $(printf '%s\n' "$headers" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"
[ "$failures" -eq 0 ] && echo "binary checks passed" || exit 1
