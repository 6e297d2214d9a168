#!/usr/bin/env bash
# The main job: sets up a fresh machine, builds picbuf with the release preset, then
# has it make a sample image, store it, and read it back into a second control.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release
cmake --build --preset release --target picbuf

picbuf="$PWD/build/release/tools/picbuf/picbuf"
session=(
  'Init(24,64,48,0xFF8000)' FileName=sample.bmp Store
  Picbuf2.FileName=sample.bmp Picbuf2.Load
  Picbuf2.ColorDepth Picbuf2.Xresolution Picbuf2.Yresolution Picbuf2.InfoImage
)
mkdir -p build/release/sample
cd build/release/sample
echo "== in build/release/sample: picbuf $(printf "'%s' " "${session[@]}")"
"$picbuf" "${session[@]}"
