#!/usr/bin/env bash
# Makes docs/viewer.png: the viewer showing a real photo, on the offscreen
# platform so no display is needed. The photo is scikit-image's "coffee"
# (public domain), taken from its Debian package without installing it.
# Usage: bash scripts/viewer_screenshot.sh [preset]   (default: release)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-release}"

bash scripts/build_one_target.sh "$preset" vstl32

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get download -qq python3-skimage >/dev/null)
dpkg-deb -x "$work"/python3-skimage_*.deb "$work/deb"
photo="$work/coffee.jpg"
convert "$(find "$work/deb" -name coffee.png | head -n 1)" -quality 92 "$photo"

mkdir -p docs
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" temp="$work" \
  "build/$preset/viewer/vstl32" --snapshot docs/viewer.png "$photo"
echo "wrote docs/viewer.png"
