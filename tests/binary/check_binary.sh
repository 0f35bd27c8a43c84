#!/usr/bin/env bash
# Checks what a built setup.exe is made of:
#  - it imports only the system DLLs listed in allowed_dlls.txt (no C or C++
#    run-time DLL, which a clean Windows 95 does not have);
#  - the version block and a Japanese dialog string are in its resources;
#  - the shipped 32-bit build imports only functions that Windows 95 and
#    NT 4.0 both export (win95_nt4_imports.txt), fits in 16 KiB, keeps the
#    loader rules of Windows 95, and its code holds no instruction that an
#    80386 lacks.
# Usage: check_binary.sh setup.exe i686|x86_64 allowed_dlls.txt [functions.txt setup.map]
#        check_binary.sh --cpu object...
#          only the instruction check, on whole objects
set -u
objdump=x86_64-w64-mingw32-objdump   # reads PE32, PE32+ and COFF objects alike
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Instructions that came after the 80386: the 486 (bswap, xadd, cmpxchg,
# invlpg), the Pentium (cpuid, rdtsc, cmpxchg8b, rdmsr), the Pentium Pro
# (cmov, fcmov, fcomi, ud2, sysenter, multi-byte nop), CET (endbr32), and
# every MMX or SSE instruction or register. Any x87 instruction too: a 386
# or 486SX may have no FPU.
check_cpu() {
    local file=$1 range=()
    [ $# -ge 3 ] && range=(--start-address="$2" --stop-address="$3")
    local listing
    listing=$($objdump -d --no-show-raw-insn "${range[@]}" "$file") ||
        { fail "objdump cannot disassemble $file"; return; }
    local bad
    bad=$(printf '%s\n' "$listing" | awk -F'\t' '
        NF >= 2 && $1 ~ /^ *[0-9a-f]+:$/ {
            split($2, word, " "); m = word[1]
            if (m ~ /^(cmov|fcmov|f)/ || m ~ /^(bswap|xadd|cmpxchg|cpuid|rdtsc|rdpmc|rdmsr|wrmsr|sysenter|sysexit|syscall|endbr32|ud2|invlpg|wbinvd|invd|rsm|emms|movbe|popcnt|lzcnt|tzcnt|prefetch|[lms]fence|nopw|nopl)/ ||
                m ~ /^(p|mov[dq]$|movnt|ldmxcsr|stmxcsr|fxsave|fxrstor)/ && m !~ /^(push|pop)/ ||
                $2 ~ /%([xyz]mm|mm)[0-9]/)
                print $1 " " $2
        }' | sort -u -k2 | head -n 20)
    [ -z "$bad" ] || fail "instructions an 80386 lacks in $file:"$'\n'"$bad"
}

if [ "${1:-}" = --cpu ]; then
    shift
    for object in "$@"; do
        check_cpu "$object"
    done
    [ "$failures" -eq 0 ] && echo "cpu check passed: $# objects" || exit 1
    exit 0
fi

exe=$1 arch=$2 allowed=$3 functions=${4:-} map=${5:-}
headers=$($objdump -p "$exe") || { echo "FAIL: objdump cannot read $exe"; exit 1; }
field() { printf '%s\n' "$headers" | awk -v name="$1" '$1 == name { print $2; exit }'; }

while read -r dll; do
    grep -qixF "$dll" "$allowed" || fail "imports $dll, which is not a system DLL we allow"
done < <(printf '%s\n' "$headers" | sed -n 's/^\s*DLL Name: //p')
printf '%s\n' "$headers" | grep -qi 'DLL Name: KERNEL32.dll' || fail "no import of KERNEL32.dll at all"

if [ -n "$functions" ]; then
    while read -r dll name; do
        grep -qixF "$dll $name" <(grep -v '^#' "$functions") ||
            fail "imports $dll $name, which is not on the Windows 95 / NT 4.0 list"
    done < <(printf '%s\n' "$headers" | awk '
        /^\tDLL Name: / { dll = $3; next }
        /^\t[0-9a-f]+\t +[0-9]+  / && dll != "" { print dll, $3 }
        /^$/ { dll = "" }')
fi

if [ "$arch" = i686 ]; then
    # What the Windows 95 loader insists on.
    printf '%s\n' "$headers" | grep -q 'file format pei-i386' || fail "not a PE32 image for the i386"
    for want in SectionAlignment:00001000 FileAlignment:00000200 Win32Version:00000000 \
                LoaderFlags:00000000 MajorSubsystemVersion:4 MinorSubsystemVersion:0 \
                MajorOSystemVersion:4 MinorOSystemVersion:0; do
        [ "$(field "${want%:*}")" = "${want#*:}" ] || fail "${want%:*} is $(field "${want%:*}"), not ${want#*:}"
    done
    (( 0x$(field SizeOfImage) % 0x1000 == 0 )) || fail "SizeOfImage $(field SizeOfImage) is not a multiple of 0x1000"
    for directory in 'Thread Storage' 'Bound Import' 'Delay Import'; do
        printf '%s\n' "$headers" | grep -qE "^Entry [0-9a-f] 00000000 00000000 $directory Directory" ||
            fail "has a $directory directory"
    done
    printf '%s\n' "$headers" | grep -q '<none>' && fail "imports a function by ordinal"
    iat=$((0x$(printf '%s\n' "$headers" | awk '/Import Address Table Directory/ { print $3 }') + 0x$(field ImageBase)))
    iat_section=none
    while read -r _ name size vma _; do
        read -r flags
        if (( iat >= 0x$vma && iat < 0x$vma + 0x$size )); then
            case $flags in *READONLY*) iat_section="$name readonly" ;; *) iat_section="$name writable" ;; esac
        fi
    done < <($objdump -h "$exe" | sed -n '/^ *[0-9][0-9]* /{N;s/\n/\n/;p}')
    [ "${iat_section#* }" = writable ] || fail "the import address table is not in a writable section ($iat_section)"
    for id in $(printf '%s\n' "$headers" | sed -n 's/.*Entry: ID: \(0x[0-9a-f]*\),.*/\1/p'); do
        (( id <= 0x7FFF )) || fail "resource id $id is over 0x7FFF"
    done
    characteristics=$(printf '%s\n' "$headers" | awk '/^Characteristics/ { print $2; exit }')
    if (( characteristics & 0x1 )) && (( 0x$(field DllCharacteristics) & 0x40 )); then
        fail "DYNAMIC_BASE is set although the relocations are stripped"
    fi

    if [ -n "$map" ]; then
        code_end=$(sed -n 's/^ *\(0x[0-9a-f]*\) *__code_end__ = \.$/\1/p' "$map")
        code_start=$($objdump -h "$exe" | awk '$2 == ".text" { print "0x" $4 }')
        if [ -z "$code_end" ] || [ -z "$code_start" ]; then
            fail "cannot find where the code ends in $map"
        else
            check_cpu "$exe" "$code_start" "$code_end"
        fi
    fi
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
