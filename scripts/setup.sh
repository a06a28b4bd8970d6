#!/usr/bin/env bash
# Installs what Tarvik needs on Debian 12, skipping what is already there.
#
#   scripts/setup.sh           what the window and the batch tool need to build
#                              and run, and to build the Debian package
#                              (dpkg-buildpackage, with its tests)
#   scripts/setup.sh --tests   that, and what the tests and benchmarks need
#
# As root it runs apt-get; otherwise through sudo where sudo is installed,
# else it prints the command to run as root and fails.
set -euo pipefail

# The window and the batch tool: the compiler and build tools, Qt with its SVG
# module and QScintilla, the fonts the windows are laid out for, Qt's own
# texts in the window's languages, dpkg-dev for Debian's hardening flags
# (dpkg-buildflags); and what the package's build needs besides
# (debian/control's Build-Depends): build-essential, debhelper, and
# GoogleTest for the tests it runs.
build=(
  g++ cmake ninja-build dpkg-dev build-essential debhelper libgtest-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqscintilla2-qt6-dev libgl-dev
  fonts-liberation fonts-dejavu-core qt6-translations-l10n
)

# The tests and benchmarks: GoogleTest and Google Benchmark, the Windows check
# (MinGW-w64, Wine), the checks under sanitizers and the fuzz targets (clang),
# the virtual desktop (Xvfb, openbox, xdotool, screenshots; a session bus
# and the accessibility bus for the screen reader's scenario), setfacl for the
# tests of access control lists, the checks of the
# installation and the package (the desktop's validators, the MIME database and
# a query of it, groff for the manual pages, lintian, bash-completion,
# fontconfig's tools for the window with DejaVu alone, git for the copy of
# the source a package is built from), and the awks and /usr/bin/time the
# batch tool is compared with.
tests=(
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix wine wine64 fonts-wine
  clang-14 libclang-rt-14-dev
  fonts-dejavu-extra
  xvfb openbox xdotool x11-utils imagemagick dbus-daemon dbus-bin at-spi2-core acl
  desktop-file-utils appstream shared-mime-info libglib2.0-bin groff-base lintian bash-completion
  fontconfig git
  pkg-config gawk mawk time
)

packages=("${build[@]}")
case "${1:-}" in
  "") ;;
  --tests) packages+=("${tests[@]}") ;;
  *) echo "Usage: scripts/setup.sh [--tests]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

install="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null; then
  sudo=(sudo)
else
  echo "These packages are missing: ${missing[*]}" >&2
  echo "Install them as root (su -), then run this script again:" >&2
  echo "  apt-get update && $install" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
