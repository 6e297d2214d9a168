#!/usr/bin/env bash
# Sets up the machine and builds one target of a preset, for the scripts that
# make the README's pictures. Usage: bash scripts/build_one_target.sh PRESET TARGET
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
[ -f /work/ccache.env ] && . /work/ccache.env
cmake --preset "$1" >/dev/null
cmake --build --preset "$1" --target "$2"
