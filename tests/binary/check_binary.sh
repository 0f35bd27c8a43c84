#!/usr/bin/env bash
# Checks what a built setup.exe is made of:
#  - it imports only the system DLLs listed in allowed_dlls.txt (no C or C++
#    run-time DLL, which a clean Windows 95 does not have);
#  - its resources: the dialogs, the icon, the version block with its
#    texts, and an application manifest that asks for elevation, names the
#    supported systems and its architecture in a form Windows XP accepts;
#  - it is marked NX-compatible;
#  - the shipped 32-bit build imports only functions that Windows 95 and
#    NT 4.0 both export (win95_nt4_imports.txt), keeps a 512-byte block free
#    under 16 KiB (a vendor's signature not counted), keeps the loader rules
#    of Windows 95, and its code holds no instruction that an 80386 lacks.
# Usage: check_binary.sh setup.exe i686|x86_64 allowed_dlls.txt [functions.txt setup.map]
#        check_binary.sh --cpu object...
#          only the instruction check, on whole objects
#        check_binary.sh --manifest-bites setup.exe i686|x86_64
#          the manifest check passes on the image's manifest and fails on
#          each fault planted into a copy of it
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

# The resources of a PE image, one line each: type and name (a name that
# is a string shows as "name"), read through the header's directory.
resources() {
    wrestool -l "$1" 2>/dev/null | sed -n "s/^--type=\([0-9]*\) --name=\([0-9]*\|'[^']*'\) .*/\1 \2/p" |
        sed "s/ '.*'\$/ name/"
}

# The manifest (a file) that setup.exe needs on Vista to 11 and that XP
# still starts: elevation for the system directories, the supported
# systems (no compatibility assistant, no virtualization), the build's
# architecture, the classic look and no DPI awareness.
check_manifest() {
    local file=$1 want=$2
    xmllint --noout "$file" 2>/dev/null || { fail "the manifest is not well-formed XML"; return; }
    xpath() { xmllint --xpath "$1" "$file" 2>/dev/null; }
    [ "$(xpath 'string(//*[local-name()="requestedExecutionLevel"]/@level)')" = requireAdministrator ] ||
        fail "the manifest does not require an administrator"
    [ "$(xpath 'string(//*[local-name()="requestedExecutionLevel"]/@uiAccess)')" = false ] ||
        fail "the manifest does not say uiAccess=\"false\""
    local name id
    for name in Vista:e2011457-1546-43c5-a5fe-008deee3d3f0 7:35138b9a-5d96-4fbd-8e2d-a2440225f93a \
                8:4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 8.1:1f676c76-80e1-4239-95bb-83d0f6d0da78 \
                10:8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
        id=${name#*:}
        [ "$(xpath "count(//*[local-name()='compatibility']/*[local-name()='application']/*[local-name()='supportedOS'][@Id='{$id}'])")" = 1 ] ||
            fail "the manifest does not name Windows ${name%%:*} as supported"
    done
    [ "$(xpath 'string(/*[local-name()="assembly"]/*[local-name()="assemblyIdentity"]/@processorArchitecture)')" = "$want" ] ||
        fail "the manifest's processorArchitecture is not $want"
    [ "$(xpath 'namespace-uri(//*[local-name()="trustInfo"])')" = urn:schemas-microsoft-com:asm.v3 ] ||
        fail "trustInfo is not in the asm.v3 namespace"
    [ "$(xpath 'count(//*[local-name()="dependency" or local-name()="dpiAware" or local-name()="dpiAwareness"])')" = 0 ] ||
        fail "the manifest asks for common controls 6 or DPI awareness"
    # Windows XP refuses to start a program whose manifest declares two
    # namespaces on one element, or whose trustInfo inherits its namespace.
    local tags
    tags=$(tr -d '\r\n' <"$file" | grep -o '<[^!?/][^>]*>')
    printf '%s\n' "$tags" | grep -qE 'xmlns[^= ]*=.*xmlns[^= ]*=' &&
        fail "an element of the manifest declares two namespaces"
    printf '%s\n' "$tags" | grep -qE '^<([A-Za-z0-9_]+:)?trustInfo [^>]*xmlns' ||
        fail "trustInfo does not declare its own namespace"
}

manifest_arch() { [ "$1" = i686 ] && echo x86 || echo amd64; }

# Copies the manifest of an image (RT_MANIFEST 1) into a file.
extract_manifest() { wrestool -x --raw -t 24 -n 1 "$1" >"$2" 2>/dev/null && [ -s "$2" ]; }

if [ "${1:-}" = --manifest-bites ]; then
    exe=$2 want=$(manifest_arch "$3")
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    extract_manifest "$exe" "$work/good" || { echo "FAIL: no manifest in $exe"; exit 1; }
    check_manifest "$work/good" "$want"
    [ "$failures" -eq 0 ] || exit 1
    planted=0
    while IFS='|' read -r fault edit; do
        sed "$edit" "$work/good" >"$work/bad"
        cmp -s "$work/good" "$work/bad" && { fail "the fault '$fault' changed nothing"; continue; }
        if (failures=0; check_manifest "$work/bad" "$want" >/dev/null; [ "$failures" -eq 0 ]); then
            fail "the manifest check let through: $fault"
        fi
        planted=$((planted + 1))
    done <<'FAULTS'
not well-formed|s#</assembly>##
runs as the invoker|s/requireAdministrator/asInvoker/
Windows 10 left out|s/<supportedOS Id="{8e0f7a12[^>]*>//
another architecture|s/processorArchitecture="[^"]*"/processorArchitecture="ia64"/
two namespaces on one element|s/<trustInfo xmlns=/<trustInfo xmlns:v3="urn:schemas-microsoft-com:asm.v3" xmlns=/
trustInfo without its namespace|s#<trustInfo xmlns="[^"]*">#<trustInfo>#
common controls 6|s#</assembly>#<dependency><dependentAssembly><assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0"/></dependentAssembly></dependency></assembly>#
FAULTS
    [ "$failures" -eq 0 ] && echo "manifest check bites: $planted planted faults refused" || exit 1
    exit 0
fi

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
    while read -r type name _; do
        for id in $type $name; do
            [ "$id" = name ] || (( id <= 0x7FFF )) || fail "resource id $id is over 0x7FFF"
        done
    done < <(resources "$exe")
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

listing=$(resources "$exe")
for wanted in "5 102 dialog 102" "5 104 dialog 104" "14 103 icon 103" "16 1 version block" "24 1 manifest"; do
    read -r type name what <<<"$wanted"
    printf '%s\n' "$listing" | grep -qx "$type $name" || fail "no $what among the resources"
done
manifest=$(mktemp)
if extract_manifest "$exe" "$manifest"; then
    check_manifest "$manifest" "$(manifest_arch "$arch")"
else
    fail "no application manifest to read"
fi
rm -f "$manifest"
(( 0x$(field DllCharacteristics) & 0x100 )) || fail "not marked NX_COMPAT"

# A vendor's signature (the certificate table, at the end) is not counted.
size=$(stat -c %s "$exe")
signature=$(printf '%s\n' "$headers" | awk '/Security Directory/ { print $3; exit }')
(( 0x${signature:-0} != 0 )) && size=$((0x$signature))
if [ "$arch" = i686 ] && [ "$size" -gt 15872 ]; then
    fail "the shipped setup.exe is $size bytes, over 15,872 (16 KiB less one free 512-byte block)"
fi
echo "$exe: $size bytes, $arch, imports: $(printf '%s\n' "$headers" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"
[ "$failures" -eq 0 ] && echo "binary checks passed" || exit 1
