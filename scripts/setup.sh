#!/usr/bin/env bash
# Installs what Tarvik needs to build and test on Debian 12, skipping what is
# already there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config gawk mawk time
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqscintilla2-qt6-dev libgl-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix wine wine64
  clang-14 libclang-rt-14-dev
  fonts-wine fonts-liberation fonts-dejavu-core fonts-dejavu-extra
  qt6-translations-l10n
  xvfb openbox xdotool x11-utils imagemagick acl
  dpkg-dev desktop-file-utils appstream shared-mime-info groff-base
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
