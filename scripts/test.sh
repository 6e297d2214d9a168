#!/usr/bin/env bash
# Sets up a fresh machine, builds the sanitizer build and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset default
cmake --build --preset default
ctest --preset default -j2
