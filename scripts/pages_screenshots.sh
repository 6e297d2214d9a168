#!/usr/bin/env bash
# Makes docs/ZGenPPG.png and docs/ZIoPPG.png: the General and Picture
# property pages of a control, rendered by picbuf without a display.
# Usage: bash scripts/pages_screenshots.sh [preset]   (default: release)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-release}"

bash scripts/build_one_target.sh "$preset" picbuf

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"build/$preset/tools/picbuf/picbuf" --design --pages-snapshot "$work" \
  Appearance=1 BorderStyle=1 MousePointer=2 FileName=photos/coffee.jpg ImageFormat=7
mkdir -p docs
cp "$work/ZGenPPG.png" "$work/ZIoPPG.png" docs/
echo "wrote docs/ZGenPPG.png and docs/ZIoPPG.png"
