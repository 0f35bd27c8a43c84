#!/usr/bin/env bash
# Shows a medium as the customer will see it: runs the shipped setup.exe on
# it under Wine, in a throwaway prefix on a screen of its own, saves a
# picture of every window it reaches and a contact sheet of them all, and
# reports what does not fit.
#
#   tools/demo.sh [options] [MEDIUM]
#     MEDIUM          a folder with setup.ini and the files to install;
#                     default the sample, examples/medium. It is copied
#                     first: the folder itself is never written to.
#     --screen WxH    the screen, 640x480, 800x600, 1024x768 ... (default
#                     1024x768)
#     --win64         the 64-bit build of the same sources
#     --out DIR       where the pictures go (default build/demo)
#     --docs          also refresh the pictures in docs/ (sample medium only)
#     --interactive   open the setup on $DISPLAY instead, for a person to
#                     click through; no pictures, no report
#     --built DIR     use the build folder DIR as it is: no set-up, no build
#
# The demo driver presses through like a user (install button, OK on each
# box) and installs into the throwaway prefix only. Its report measures, in
# the real windows and with the fonts they use, the seven text lines and
# the banner of the settings dialog, its caption, and the big title at
# 640 x 480, 800 x 600 and 1024 x 768; it speaks Japanese where the user's
# language is Japanese (LC_ALL, LC_MESSAGES or LANG), English otherwise.
# Exit status: 0 everything fits, 1 something is cut, 2 the demo could not
# run the setup through.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
usage() {
    echo "usage: $0 [--screen WxH] [--win64] [--out DIR] [--docs] [--interactive] [--built DIR] [MEDIUM]" >&2
    exit 2
}
preset=win32
screen=1024x768
out=$root/build/demo
update_docs=0
interactive=0
built=""
medium=""
while [ $# -gt 0 ]; do
    case $1 in
        --screen) [ $# -ge 2 ] || usage; screen=$2; shift ;;
        --screen=*) screen=${1#*=} ;;
        --out) [ $# -ge 2 ] || usage; out=$2; shift ;;
        --out=*) out=${1#*=} ;;
        --built) [ $# -ge 2 ] || usage; built=$2; shift ;;
        --built=*) built=${1#*=} ;;
        --win64) preset=win64 ;;
        --docs) update_docs=1 ;;
        --interactive) interactive=1 ;;
        -*) usage ;;
        *) [ -z "$medium" ] || usage; medium=$1 ;;
    esac
    shift
done
[[ $screen =~ ^[0-9]+x[0-9]+$ ]] || { echo "demo: --screen takes WxH, such as 800x600" >&2; exit 2; }
medium=$(cd "${medium:-$root/examples/medium}" 2>/dev/null && pwd) ||
    { echo "demo: no such medium folder" >&2; exit 2; }
[ -f "$medium/setup.ini" ] || echo "demo: NOTE: $medium has no setup.ini; setup.exe will say so"
mkdir -p "$out"
out=$(cd "$out" && pwd)
case ${LC_ALL:-${LC_MESSAGES:-${LANG:-}}} in ja*) lang=ja ;; *) lang=en ;; esac

if [ -n "$built" ]; then
    build=$(cd "$built" && pwd)
else
    "$root/tools/deps.sh"
    if [ $preset = win32 ] && [ "$(head -n 1 "$root/build/can-run-32" 2>/dev/null)" != yes ]; then
        echo "demo: cannot run the 32-bit build here ($(sed -n 2p "$root/build/can-run-32" 2>/dev/null)); showing the 64-bit one"
        preset=win64
    fi
    build=$root/build/$preset
    [ -f "$build/CMakeCache.txt" ] || (cd "$root" && cmake --preset $preset >/dev/null)
    cmake --build "$build" -j2 --target setup demo_driver
fi
setup_exe=$build/setup.exe
echo "demo: $setup_exe on $medium, screen $screen"

# The run's own folder: the medium's copy, the prefix, the raw shots.
work=$(mktemp -d "$out/.run.XXXXXX")
chmod 755 "$work"   # Wine runs as its own user when we are root
cleanup() {
    [ -f "$work/wine/env" ] && "$root/tools/wine-env.sh" stop "$work/wine" >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
cp -r "$medium" "$work/medium"
# A medium copied from a CD-ROM keeps its read-only marks; Wine's user must
# still be able to let setup.exe run there.
chmod -R u+w "$work/medium"

if [ $interactive -eq 1 ]; then
    [ -n "${DISPLAY:-}" ] || { echo "demo: --interactive needs a display" >&2; exit 2; }
    echo "demo: running setup.exe on $DISPLAY; finish or cancel it to end"
    "$root/tools/wine-env.sh" prefix "$work/prefix"
    export WINEPREFIX=$work/prefix LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all \
           WINEDLLOVERRIDES="mscoree,mshtml="
    cd "$work/medium"
    set +e
    /usr/lib/wine/wine64 "$setup_exe"
    echo "demo: setup.exe exited with code $?"
    /usr/lib/wine/wineserver64 -k 2>/dev/null
    exit 0
fi

mkdir -p "$work/shots"
PELMORA_SCREEN=${screen}x24 "$root/tools/wine-env.sh" start "$work/wine" "$work/shots" "$work/medium" >/dev/null ||
    { echo "demo: cannot start Wine" >&2; exit 2; }
set +e
"$root/tools/wine-run.sh" "$work/wine" "$build/tools/windriver/demo_driver.exe" \
    "--setup-exe=$setup_exe" "--examples=$work/medium" "--artifacts=$work/shots" "--lang=$lang"
code=$?
set -e
[ $code -le 2 ] || code=2

# Pictures as PNG, without time stamps so that a picture that did not
# change makes the same bytes; then all of them on one sheet.
rm -f "$out"/[0-9][0-9]-*.png "$out/contact-sheet.png"
pictures=()
for bmp in "$work"/shots/*.bmp; do
    [ -e "$bmp" ] || continue
    png=$out/$(basename "${bmp%.bmp}").png
    convert "$bmp" -strip -define png:exclude-chunks=date,time "$png"
    pictures+=("$png")
    echo "demo: saved $png"
done
if [ ${#pictures[@]} -gt 0 ]; then
    montage "${pictures[@]}" -tile 2x -geometry "$((${screen%x*} / 2))x+8+8" -background '#808080' \
        -strip -define png:exclude-chunks=date,time "$out/contact-sheet.png"
    echo "demo: saved $out/contact-sheet.png"
fi
if [ $update_docs -eq 1 ] && [ "$medium" = "$root/examples/medium" ]; then
    for name in backdrop settings copy message; do
        picture=$(ls "$out"/[0-9][0-9]-$name.png 2>/dev/null | head -n 1)
        [ -n "$picture" ] || continue
        case $name in settings) target=settings-dialog ;; copy) target=copy-dialog ;;
                      message) target=completion ;; *) target=$name ;; esac
        cp "$picture" "$root/docs/$target.png"
        echo "demo: updated docs/$target.png"
    done
fi
exit $code
