#!/usr/bin/env bash
# Runs a Windows program under wine64 in the environment that
# tools/wine-env.sh started in <state-dir>, and returns its exit code.
#
#   tools/wine-run.sh <state-dir> <program> [args...]
#
# CMake uses it as the cross-compiling emulator of both Windows builds. The
# program runs as the user that wine-env.sh chose for the prefix. An argument
# that is a Unix path, alone or after --name=, reaches the program as Wine
# sees that path: on drive Z:, with backslashes. This is the one place where
# paths are turned into Wine's.
if [ $# -lt 2 ]; then
    echo "usage: $0 <state-dir> <program> [args...]" >&2
    exit 2
fi
state=$1 program=$2
shift 2
args=()
for arg in "$@"; do
    value=${arg#--*=}
    if [[ $value == /* ]]; then
        arg="${arg%"$value"}Z:${value//\//\\}"
    fi
    args+=("$arg")
done
if [ ! -f "$state/env" ]; then
    echo "wine-run: $state/env is missing; run tools/wine-env.sh start $state first" \
         "(ctest does it in the wine_setup test)" >&2
    exit 2
fi
# shellcheck disable=SC1091
. "$state/env"
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# shellcheck disable=SC2086
exec $WINE_AS env HOME="${WINE_HOME:-$HOME}" /usr/lib/wine/wine64 "$program" "${args[@]}"
