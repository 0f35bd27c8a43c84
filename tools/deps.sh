#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian 12 machine.
# Skips everything already present, so a second run costs a second or two.
set -eu

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for pkg in cmake g++ googletest libgtest-dev libbenchmark-dev \
           g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 \
           wine wine64 xvfb xauth x11-apps x11-utils imagemagick fonts-ipafont-gothic \
           clang libclang-rt-14-dev locales; do
  have_pkg "$pkg" || need+=("$pkg")
done
# 32-bit Wine cannot run on this kernel; never pull it in.
if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "deps: missing packages: ${need[*]} (run as root to install them)" >&2
    exit 1
  fi
  echo "deps: installing ${need[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# Wine takes its ANSI code page (932) from the locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if [ "$(id -u)" = 0 ]; then
    sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  else
    echo "deps: locale ja_JP.UTF-8 is missing" >&2
    exit 1
  fi
fi
