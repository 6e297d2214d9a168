#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test the toolkit.
# Does nothing when every package is already present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  libpng-dev libjpeg62-turbo-dev zlib1g-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev libimagequant-dev
  imagemagick libtiff-tools giflib-tools netpbm libjpeg-turbo-progs pngcheck
  libgif-dev libtiff-dev libmagick++-6.q16-dev
  fonts-dejavu-core
  xdg-utils shared-mime-info poppler-utils
  cups-daemon cups-client cups-filters printer-driver-cups-pdf ghostscript  # a private print scheduler
  libqt6sql6-sqlite libqt6sql6-psql postgresql  # data binding, and a private database server
  dpkg-dev fakeroot lintian  # the Debian package and its checks
  lomiri-wallpapers-16.04 lomiri-wallpapers-20.04  # natural photos for the FIF benchmark
  python3-dev python3-pybind11 python3-numpy python3-pytest  # the pixmill Python module and its tests
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
