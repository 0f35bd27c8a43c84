#!/usr/bin/env bash
# Runs the pacing benchmark under wine64 in a prefix and display of its own.
#   run.sh <tools-dir> <state-dir> <install_pacing.exe> [rounds]
set -u
tools=$1 state=$2 program=$3
shift 3
"$tools/wine-env.sh" start "$state" >/dev/null || exit 1
trap '"$tools/wine-env.sh" stop "$state" >/dev/null' EXIT
"$tools/wine-run.sh" "$state" "$program" "$@"
