#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian 12 machine.
# Skips everything already present, so a second run costs a second or two.
# Ends by probing once whether this machine can run the shipped 32-bit
# setup.exe under Wine, and records the answer in build/can-run-32 (first
# line yes or no, second line why) for tools/test.sh.
set -eu
cd "$(dirname "$0")/.."

have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
as_root() {
  if [ "$(id -u)" != 0 ]; then
    echo "deps: $1 (run as root to install)" >&2
    exit 1
  fi
}
install_pkgs() {
  echo "deps: installing $*"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

updated=no
apt_update() {
  [ $updated = yes ] || apt-get update -qq
  updated=yes
}

# The shipped setup.exe is a 32-bit program: wine64 hands it to the 32-bit
# loader of wine32, an i386 package.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root "the i386 architecture is not enabled"
  dpkg --add-architecture i386
fi

need=()
for pkg in cmake g++ googletest libgtest-dev libbenchmark-dev \
           g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 \
           wine wine64 wine32:i386 xvfb xauth x11-apps x11-utils imagemagick fonts-ipafont-gothic fonts-wine \
           libxml2-utils osslsigncode openssl icoutils \
           clang libclang-rt-14-dev locales; do
  have_pkg "$pkg" || need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
  as_root "missing packages: ${need[*]}"
  apt_update
  install_pkgs "${need[@]}"
fi

# Wine takes its ANSI code page (932) from the locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  as_root "locale ja_JP.UTF-8 is missing"
  sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# The Windows tests run Wine as this unprivileged user when started as root
# (tools/wine-env.sh): only then are read-only files refused as on Windows.
if [ "$(id -u)" = 0 ] && ! id -u pelmora-wine >/dev/null 2>&1; then
  echo "deps: adding the user pelmora-wine"
  useradd --system --create-home --home-dir /var/lib/pelmora-wine --shell /usr/sbin/nologin \
    pelmora-wine
fi

# Can this machine execute 32-bit x86 code? The 32-bit Wine loader is such a
# program. Kernels built without IA32 emulation refuse it (exec format
# error); there the kernel's binfmt_misc hands i386 programs to qemu-i386.
# qemu 7.2 of Debian 12 takes about 50 s to start each Wine process (its page
# tracking walks the whole 4 GiB guest space on every mmap), the qemu of
# bookworm-backports well under a second, so that is the one we install.
runs_32() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
qemu_is_new() {
  local major
  major=$(qemu-i386-static --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p')
  [ -n "$major" ] && [ "$major" -ge 8 ]
}
binfmt=/proc/sys/fs/binfmt_misc
register_qemu() {
  [ -d $binfmt ] || return 1
  [ -e $binfmt/register ] || mount -t binfmt_misc binfmt_misc $binfmt 2>/dev/null || return 1
  [ -e $binfmt/qemu-i386 ] && echo -1 > $binfmt/qemu-i386
  # ELF, 32-bit, little-endian, executable or shared object, machine i386.
  # F: the kernel opens the interpreter now, so it works in any mount space.
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
    > $binfmt/register 2>/dev/null
}

mkdir -p build
verdict=build/can-run-32
if runs_32; then
  echo yes > $verdict
  echo "32-bit programs run here" >> $verdict
elif [ "$(id -u)" != 0 ]; then
  printf 'no\n%s\n' "this kernel does not execute 32-bit x86 programs, and only root can hand them to qemu-i386" > $verdict
else
  if ! qemu_is_new; then
    if [ ! -f /etc/apt/sources.list.d/bookworm-backports.list ]; then
      echo 'deb http://deb.debian.org/debian bookworm-backports main' \
        > /etc/apt/sources.list.d/bookworm-backports.list
      updated=no
    fi
    apt_update
    echo "deps: installing qemu-user-static from bookworm-backports"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      -t bookworm-backports qemu-user-static >/dev/null || true
  fi
  if ! qemu_is_new; then
    printf 'no\n%s\n' "this kernel does not execute 32-bit x86 programs, and qemu-user-static 8 or newer could not be installed to run them" > $verdict
  elif ! register_qemu || ! runs_32; then
    printf 'no\n%s\n' "this kernel does not execute 32-bit x86 programs, and binfmt_misc could not hand them to qemu-i386" > $verdict
  else
    printf 'yes\n%s\n' "32-bit programs run through qemu-i386 (binfmt_misc); this kernel has no IA32 emulation" > $verdict
  fi
fi
