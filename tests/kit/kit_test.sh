#!/usr/bin/env bash
# The release kit as a vendor gets it, one step a command:
#
#   kit_test.sh pack <cpack> <build-dir> <work-dir>
#       packs the kit from the build tree with CPack and unpacks the ZIP
#   kit_test.sh files <work-dir> <files.txt> <setup.exe> <setupcheck.exe> <sample-source>
#       the kit holds exactly the files listed, the programs byte for byte as
#       built, the sample as in the sources, and text that Notepad reads
#   kit_test.sh install <work-dir> <wine-run.sh> <wine-state> <demo_driver.exe> <setup> <system-dir> <shots>
#       the kit's <setup> (a path inside the kit) installs the kit's sample
#       medium end to end under Wine; <system-dir> is where Wine keeps the
#       system directory of that program (syswow64 for 32 bits)
#   kit_test.sh sign <work-dir> <check_binary.sh> <allowed_dlls.txt> <functions.txt> <setup.map>
#       signs the kit's setup.exe as a vendor would, with a throwaway
#       certificate, in a copy of the kit (<work-dir>/signed, which install
#       takes as its work dir): the signature verifies, only the certificate
#       table and the header fields naming it differ, the loader rules hold
#   kit_test.sh refuse <text.sh> <markdown>
#       the text generator stops on a character Shift-JIS cannot hold
set -u
command=$1
shift
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# The one folder the ZIP unpacks to.
kit_root() {
    local dirs=("$1"/unpacked/*/)
    [ ${#dirs[@]} -eq 1 ] && [ -d "${dirs[0]}" ] || { echo "no unpacked kit in $1" >&2; exit 1; }
    echo "${dirs[0]%/}"
}

case $command in
pack)
    cpack=$1 build=$2 work=$3
    rm -rf "$work/out" "$work/unpacked"
    mkdir -p "$work/out" "$work/unpacked"
    "$cpack" --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log"; exit 1; }
    zips=("$work"/out/pelmora-setup-*-win32.zip)
    [ -f "${zips[0]}" ] || { echo "no pelmora-setup-*-win32.zip in $work/out"; ls "$work/out"; exit 1; }
    # The ZIP's names are UTF-8; a C locale could not write them.
    (cd "$work/unpacked" && LC_ALL=C.UTF-8 cmake -E tar xf "${zips[0]}") || exit 1
    echo "packed $(basename "${zips[0]}") ($(wc -c <"${zips[0]}") bytes)"
    ;;
files)
    work=$1 list=$2 setup=$3 checker=$4 sample=$5
    kit=$(kit_root "$work")
    got=$(cd "$kit" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
    want=$(grep -v '^#' "$list" | LC_ALL=C sort)
    if [ "$got" != "$want" ]; then
        fail "the kit's files differ from $list (- expected, + in the kit):"
        diff <(printf '%s\n' "$want") <(printf '%s\n' "$got") | sed -n 's/^</-/p; s/^>/+/p'
    fi
    for pair in "setup.exe:$setup" "sample/setup.exe:$setup" "setupcheck.exe:$checker"; do
        cmp -s "$kit/${pair%%:*}" "${pair#*:}" || fail "${pair%%:*} is not the built ${pair#*:}"
    done
    for file in "$sample"/*; do
        cmp -s "$kit/sample/$(basename "$file")" "$file" || fail "sample/$(basename "$file") differs from $file"
    done
    for text in "$kit"/*.txt; do
        name=$(basename "$text")
        iconv -f CP932 -t UTF-8 "$text" >/dev/null 2>&1 || fail "$name does not decode as Shift-JIS"
        LC_ALL=C grep -qn $'[^\r]$\|^$' "$text" && fail "$name has a line without CR LF"
        [ "$(tail -c 1 "$text" | od -An -tx1 | tr -d ' ')" = 0a ] || fail "$name does not end its last line"
        [ "$(wc -c <"$text")" -le 65535 ] || fail "$name is too large for Notepad on Windows 95"
    done
    ;;
install)
    work=$1 run=$2 state=$3 driver=$4 setup=$5 system=$6 shots=$7
    kit=$(kit_root "$work")
    # shellcheck disable=SC1091
    . "$state/env"
    drive=$WINEPREFIX/drive_c
    # What an earlier run installed: [InstallWindows] and [InstallSystem]
    # never replace a file, so a leftover would pass for a copy.
    rm -rf "$drive/PelmoraSample" "$drive/windows/pelsamp.ini" "$drive/windows/$system/pelsamp.dll"
    find "$drive/users" -depth -type d -name 'ぺるもら サンプル' -exec rm -rf {} + 2>/dev/null
    log=$("$run" "$state" "$driver" "--setup-exe=$kit/$setup" \
              "--examples=$kit/sample" "--artifacts=$shots" 2>&1)
    printf '%s\n' "$log"
    printf '%s\n' "$log" | grep -q '^setup.exe exited with code 0' || fail "setup.exe did not end with code 0"
    printf '%s\n' "$log" | grep -q 'インストールが完了しました' || fail "no completion message"
    for installed in PelmoraSample/sample.exe PelmoraSample/readme.txt PelmoraSample/license.txt \
                     windows/pelsamp.ini "windows/$system/pelsamp.dll"; do
        cmp -s "$drive/$installed" "$kit/sample/${installed##*/}" ||
            fail "C:/$installed is not a copy of sample/${installed##*/}"
    done
    # The Start Menu box is checked in the sample, the StartUp box is not.
    for link in 'ぺるもら サンプル.lnk' 'お読みください.lnk'; do
        [ -n "$(find "$drive/users" -path "*/Start Menu/Programs/ぺるもら サンプル/$link" -size +0)" ] ||
            fail "no Start Menu shortcut $link"
    done
    [ -z "$(find "$drive/users" -name 'ぺるもら 常駐.lnk')" ] || fail "a StartUp shortcut though its box is unchecked"
    ;;
sign)
    work=$1 check=$2 allowed=$3 functions=$4 map=$5
    kit=$(kit_root "$work")
    signed=$work/signed/unpacked/${kit##*/}
    rm -rf "$work/signed"
    mkdir -p "$work/signed/unpacked" "$work/signed/key"
    cp -r "$kit" "$signed"
    key=$work/signed/key
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Pelmora Test Vendor" \
        -addext extendedKeyUsage=codeSigning -keyout "$key/key.pem" -out "$key/cert.pem" \
        >"$key/openssl.log" 2>&1 || { cat "$key/openssl.log"; exit 1; }
    # No time stamp: this machine reaches no time-stamping authority.
    rm -f "$signed/setup.exe"
    osslsigncode sign -certs "$key/cert.pem" -key "$key/key.pem" -n "Pelmora Setup" -h sha256 \
        -in "$kit/setup.exe" -out "$signed/setup.exe" >"$key/sign.log" 2>&1 ||
        { cat "$key/sign.log"; exit 1; }
    osslsigncode verify -CAfile "$key/cert.pem" -in "$signed/setup.exe" >"$key/verify.log" 2>&1 ||
        { cat "$key/verify.log"; fail "the signature does not verify"; }
    # What signing may change: the checksum and the certificate table's
    # entry in the header; the table itself is appended.
    original=$(stat -c %s "$kit/setup.exe")
    header=$(od -An -tu4 -j60 -N4 "$kit/setup.exe" | tr -d ' ')
    checksum=$((header + 24 + 64))
    table_entry=$((header + 24 + 96 + 4 * 8))
    while read -r at _ _; do
        at=$((at - 1))
        (( (at >= checksum && at < checksum + 4) || (at >= table_entry && at < table_entry + 8) )) ||
            fail "signing changed byte $at of the image"
    done < <(cmp -l "$kit/setup.exe" "$signed/setup.exe" 2>/dev/null)
    [ "$(stat -c %s "$signed/setup.exe")" -gt "$original" ] || fail "no certificate table was appended"
    "$check" "$signed/setup.exe" i686 "$allowed" "$functions" "$map" || fail "the signed setup.exe breaks a loader rule"
    ;;
refuse)
    generator=$1 markdown=$2
    out=$(mktemp -d)
    message=$("$generator" "$markdown" "$out/text.txt" 2>&1)
    status=$?
    [ $status -ne 0 ] || fail "the generator accepted $markdown"
    [ ! -e "$out/text.txt" ] || fail "the generator wrote $out/text.txt"
    printf '%s\n' "$message" | grep -q "$(basename "$markdown"):3:" || fail "no line number in: $message"
    rm -rf "$out"
    ;;
*)
    echo "usage: $0 pack|files|install|sign|refuse ..." >&2
    exit 2
    ;;
esac
exit $failed
