#!/usr/bin/env bash
# Placeholder: runs a Windows program under wine64.
state=$1; shift
exec /usr/lib/wine/wine64 "$@"
