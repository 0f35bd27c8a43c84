#!/usr/bin/env bash
# Runs setup.exe on the sample medium (examples/medium) under Wine.
#
#   tools/demo.sh            build the shipped 32-bit setup.exe, then run it
#   tools/demo.sh --win64    the 64-bit build of the same sources instead
#   tools/demo.sh --docs     also refresh docs/backdrop.png from the run
#   tools/demo.sh --headless walk through it with the demo driver even when a
#                            display is available
#
# With a working $DISPLAY the setup opens there, in the Wine prefix
# build/demo/prefix, and the script waits until you finish or cancel it.
# Without one, the script starts its own Xvfb and Wine prefix, and the demo
# driver walks through the setup like a user: it waits for every window,
# saves a screenshot of each into build/demo/NN-name.png, presses through
# (install button, OK on each message box), then lists what landed where and
# the exit code. Its own Xvfb and wineserver are stopped at the end.
#
# PELMORA_DEMO_BUILD chooses the build folder (default build/win32, or
# build/win64 with --win64).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
preset=win32
demo=$root/build/demo
update_docs=0
headless=0
for arg in "$@"; do
    case $arg in
        --docs) update_docs=1 ;;
        --headless) headless=1 ;;
        --win64) preset=win64 ;;
        *) echo "usage: $0 [--win64] [--docs] [--headless]" >&2; exit 2 ;;
    esac
done

tools/deps.sh
if [ $preset = win32 ] && [ "$(head -n 1 build/can-run-32 2>/dev/null)" != yes ]; then
    echo "demo: cannot run the 32-bit build here ($(sed -n 2p build/can-run-32 2>/dev/null)); showing the 64-bit one"
    preset=win64
fi
build=${PELMORA_DEMO_BUILD:-build/$preset}
echo "demo: the $preset build ($build/setup.exe)"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset $preset -B "$build" >/dev/null
fi
cmake --build "$build" -j2 --target setup demo_driver

setup_exe=$root/$build/setup.exe
medium=$root/examples/medium
mkdir -p "$demo"

if [ $headless -eq 0 ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "demo: running setup.exe on $DISPLAY (prefix $demo/prefix); finish or cancel it to end"
    "$root/tools/wine-env.sh" prefix "$demo/prefix"
    export WINEPREFIX=$demo/prefix LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all \
           WINEDLLOVERRIDES="mscoree,mshtml="
    cd "$medium"
    set +e
    /usr/lib/wine/wine64 "$setup_exe"
    code=$?
    set -e
    echo "demo: setup.exe exited with code $code"
    exit 0
fi

state=$demo/wine
stop_env() { "$root/tools/wine-env.sh" stop "$state" >/dev/null 2>&1 || true; }
trap stop_env EXIT
trap 'exit 130' INT TERM
echo "demo: no display in use; starting Xvfb and a Wine prefix of our own"
rm -rf "$demo/shots"
rm -f "$demo"/[0-9][0-9]-*.png
"$root/tools/wine-env.sh" start "$state" "$demo/shots"
set +e
"$root/tools/wine-run.sh" "$state" "$root/$build/tools/windriver/demo_driver.exe" \
    "--setup-exe=$setup_exe" \
    "--examples=$medium" \
    "--artifacts=$demo/shots"
code=$?
set -e

# Screenshots as PNG, without time stamps so that a picture that did not
# change makes the same bytes.
for bmp in "$demo"/shots/*.bmp; do
    [ -e "$bmp" ] || continue
    png=$demo/$(basename "${bmp%.bmp}").png
    convert "$bmp" -strip -define png:exclude-chunks=date,time "$png"
    echo "demo: saved ${png#"$root"/}"
done
if [ $update_docs -eq 1 ]; then
    backdrop=$(ls "$demo"/[0-9][0-9]-backdrop.png 2>/dev/null | head -n 1)
    if [ -n "$backdrop" ]; then
        mkdir -p "$root/docs"
        cp "$backdrop" "$root/docs/backdrop.png"
        echo "demo: updated docs/backdrop.png"
    fi
fi
exit $code
