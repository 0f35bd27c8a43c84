#!/usr/bin/env bash
# Wine environment for one test run: a private prefix, a private Xvfb and a
# persistent wineserver, all under one state directory.
#
#   tools/wine-env.sh start <state-dir> [dir...]
#                                         make them and write <state-dir>/env;
#                                         each dir is made writable for Wine
#   tools/wine-env.sh stop  <state-dir>   end them and remove the prefix
#   tools/wine-env.sh prefix <prefix>     only make a prefix (once), for use on
#                                         an existing display (tools/demo.sh)
#
# <state-dir>/env is sourced by tools/wine-run.sh. Only what this script
# started (the pids and the prefix recorded there) is ever stopped, so other
# developers' displays and wineservers on the same machine are left alone.
# Both commands may be repeated; start cleans up after a run that crashed.
# PELMORA_SCREEN sets the screen of the Xvfb that start makes (default
# 1024x768x24).
#
# Started as root, Wine and Xvfb run as the unprivileged user pelmora-wine
# (tools/deps.sh makes it; PELMORA_WINE_USER names another, empty keeps
# root), and own the prefix and every scratch folder: as on a user's
# Windows, a read-only file then refuses to be written, which root's never do.
set -u

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
FIRST_DISPLAY=90
LAST_DISPLAY=189

usage() {
    echo "usage: $0 start|stop <state-dir> | prefix <prefix>" >&2
    exit 2
}

[ $# -ge 2 ] || usage
command=$1
state=$2
shift 2
writable=("$@")
root=$(cd "$(dirname "$0")/.." && pwd)
case $state in
    /*) ;;
    *) state=$PWD/$state ;;
esac
prefix=$state/prefix
envfile=$state/env
if [ "$command" = prefix ]; then
    prefix=$state
fi

log() { echo "wine-env: $*"; }

# Sets run_as (the command prefix that runs a program as the Wine user),
# wine_user and wine_home.
run_as=()
wine_user=""
wine_home=$HOME
choose_user() {
    local user=${PELMORA_WINE_USER-pelmora-wine}
    [ "$(id -u)" = 0 ] && [ -n "$user" ] || return 0
    if ! id -u "$user" >/dev/null 2>&1; then
        log "NOTE: no user $user (tools/deps.sh makes it); Wine runs as root, which writes even read-only files"
        return 0
    fi
    local as=(setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups)
    if ! "${as[@]}" test -r "$root/tools/wine-run.sh" 2>/dev/null; then
        log "NOTE: $user cannot reach $root; Wine runs as root, which writes even read-only files"
        return 0
    fi
    run_as=("${as[@]}")
    wine_user=$user
    wine_home=$(getent passwd "$user" | cut -d: -f6)
}

# A folder that the Wine user may write into.
grant() {
    mkdir -p "$1" && { [ -z "$wine_user" ] || chown "$wine_user:" "$1"; }
}

wine_env() {
    "${run_as[@]}" env HOME="$wine_home" LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX="$prefix" DISPLAY="$display" "$@"
}

# True if pid $1 is alive and runs program $2 (guards against a reused pid).
pid_runs() {
    [ -n "$1" ] && [ -r "/proc/$1/comm" ] && [ "$(cat "/proc/$1/comm" 2>/dev/null)" = "$2" ]
}

# Pids of the Wine processes that run in this prefix, known by their
# program (Wine's loader) and their environment.
prefix_pids() {
    local dir exe
    for dir in /proc/[0-9]*; do
        exe=$(readlink "$dir/exe" 2>/dev/null) || continue
        case $exe in /usr/lib/wine/*) ;; *) continue ;; esac
        if tr '\0' '\n' 2>/dev/null <"$dir/environ" | grep -qxF "WINEPREFIX=$prefix"; then
            echo "${dir#/proc/}"
        fi
    done
}

stop_env() {
    local XVFB_PID="" DISPLAY_NUMBER="" WINEPREFIX="" WINE_AS=""
    if [ -f "$envfile" ]; then
        # shellcheck disable=SC1090
        . "$envfile"
    fi
    if [ -d "$prefix" ]; then
        # -k ends the wineserver of this prefix only, with every process in
        # it; it answers only to the prefix's owner.
        local owner=()
        [ "$(id -u)" = 0 ] && [ "$(stat -c %u "$prefix")" != 0 ] &&
            owner=(setpriv --reuid="$(stat -c %u "$prefix")" --regid="$(stat -c %g "$prefix")" --clear-groups)
        WINEPREFIX=$prefix "${owner[@]}" "$WINESERVER" -k 2>/dev/null
        WINEPREFIX=$prefix timeout 20 "${owner[@]}" "$WINESERVER" -w 2>/dev/null
    fi
    # Programs of this prefix that outlived their wineserver (it was killed
    # hard) would wait for it forever.
    local pid
    for pid in $(prefix_pids); do
        kill -9 "$pid" 2>/dev/null
    done
    if pid_runs "$XVFB_PID" Xvfb; then
        kill "$XVFB_PID" 2>/dev/null
        for _ in $(seq 50); do
            pid_runs "$XVFB_PID" Xvfb || break
            sleep 0.1
        done
        pid_runs "$XVFB_PID" Xvfb && kill -9 "$XVFB_PID" 2>/dev/null
    fi
    # A killed Xvfb leaves its lock behind; remove it only if it names our pid.
    if [ -n "$DISPLAY_NUMBER" ] && [ -n "$XVFB_PID" ] &&
       [ "$(tr -d ' ' 2>/dev/null < "/tmp/.X$DISPLAY_NUMBER-lock")" = "$XVFB_PID" ]; then
        rm -f "/tmp/.X$DISPLAY_NUMBER-lock" "/tmp/.X11-unix/X$DISPLAY_NUMBER"
    fi
    rm -rf "$prefix" "$envfile" "$state/xvfb.log" "$state/wineboot.log"
}

# Starts Xvfb on the first free display from FIRST_DISPLAY on. Sets display,
# display_number and xvfb_pid. Xvfb itself refuses a display whose lock file
# exists, so two runs racing for one number cannot both get it.
start_xvfb() {
    local n
    for n in $(seq $FIRST_DISPLAY $LAST_DISPLAY); do
        [ -e "/tmp/.X$n-lock" ] && continue
        [ -e "/tmp/.X11-unix/X$n" ] && continue
        # Detached: own session, no inherited descriptors, so ctest does not
        # wait for it when the setup test ends.
        setsid "${run_as[@]}" Xvfb ":$n" -screen 0 "${PELMORA_SCREEN:-1024x768x24}" -nolisten tcp \
            </dev/null >"$state/xvfb.log" 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 100); do
            if ! kill -0 "$xvfb_pid" 2>/dev/null; then
                break
            fi
            # Xvfb makes its socket once it accepts clients.
            if [ -S "/tmp/.X11-unix/X$n" ] && [ "$(tr -d ' ' 2>/dev/null <"/tmp/.X$n-lock")" = "$xvfb_pid" ]; then
                display=:$n
                display_number=$n
                return 0
            fi
            sleep 0.1
        done
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    done
    log "no free X display between :$FIRST_DISPLAY and :$LAST_DISPLAY"
    return 1
}

start_env() {
    mkdir -p "$state" || return 1
    # Whatever a previous run left here (it may have crashed) goes first.
    stop_env
    choose_user
    grant "$state" || return 1
    local dir
    for dir in "${writable[@]}"; do
        grant "$dir" || return 1
    done
    start_xvfb || return 1

    wine_env "$WINE" wineboot -i </dev/null >"$state/wineboot.log" 2>&1
    local rc=$?
    if [ $rc -ne 0 ] || [ ! -d "$prefix/drive_c/windows/system32" ]; then
        log "wineboot failed ($rc), see $state/wineboot.log"
        write_envfile
        stop_env
        return 1
    fi
    # Replace the wineserver that wineboot started (it would exit a few
    # seconds after the last program) by a persistent one, so that every
    # later program start is fast. It lives until stop ends it.
    WINEPREFIX=$prefix timeout 30 "${run_as[@]}" "$WINESERVER" -w
    WINEPREFIX=$prefix setsid "${run_as[@]}" "$WINESERVER" -p </dev/null >/dev/null 2>&1
    # Unmanaged windows: no window manager round trips, fast closes.
    wine_env "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        </dev/null >/dev/null 2>&1
    add_font_substitutes
    add_wine_fonts
    write_envfile
    log "ready: DISPLAY=$display WINEPREFIX=$prefix, as ${wine_user:-$(id -un)}"
}

# The Japanese face names that dialogs and message boxes ask for, mapped to
# the IPA Gothic fonts of fonts-ipafont-gothic.
add_font_substitutes() {
    local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
    local face target
    while IFS='=' read -r face target; do
        wine_env "$WINE" reg add "$key" /v "$face" /d "$target" /f </dev/null >/dev/null 2>&1
    done <<'EOF'
MS UI Gothic=IPAPGothic
MS Gothic=IPAGothic
MS PGothic=IPAPGothic
ＭＳ ゴシック=IPAGothic
ＭＳ Ｐゴシック=IPAPGothic
EOF
}

# Marlett draws the caption buttons; without it each shows a letter "r".
# This Wine does not look for its own fonts (fonts-wine) where Debian puts
# them, so they go into the prefix's Fonts folder.
add_wine_fonts() {
    local fonts=$prefix/drive_c/windows/Fonts
    [ -f /usr/share/wine/fonts/marlett.ttf ] || return 0
    "${run_as[@]}" mkdir -p "$fonts" && "${run_as[@]}" cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
}

write_envfile() {
    cat >"$envfile" <<EOF
# Written by tools/wine-env.sh start; read by tools/wine-run.sh.
export WINEPREFIX='$prefix'
export DISPLAY='$display'
WINE_AS='${run_as[*]}'
WINE_HOME='$wine_home'
DISPLAY_NUMBER='$display_number'
XVFB_PID='$xvfb_pid'
EOF
}

# A prefix on whatever display there is, kept between runs.
make_prefix() {
    [ -d "$prefix/drive_c/windows/system32" ] && return 0
    log "making the Wine prefix $prefix (once)"
    mkdir -p "$(dirname "$prefix")"
    display=${DISPLAY:-}
    wine_env "$WINE" wineboot -i </dev/null >/dev/null 2>&1
    add_font_substitutes
    add_wine_fonts
    [ -d "$prefix/drive_c/windows/system32" ]
}

display=""
display_number=""
xvfb_pid=""
case $command in
    start) start_env ;;
    stop) stop_env ;;
    prefix) make_prefix ;;
    *) usage ;;
esac
