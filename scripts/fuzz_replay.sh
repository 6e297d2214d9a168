#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each once over every file of its seed corpus.
# With a number of seconds as argument, each target then also fuzzes for that long.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-0}
cmake --preset fuzz
targets=$(cd fuzz && ls ./*_fuzz.cpp | sed 's|^\./||; s|\.cpp$||')
# shellcheck disable=SC2086
cmake --build --preset fuzz --target $targets
status=0
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  target=build/fuzz/fuzz/$name
  if [ ! -x "$target" ]; then
    echo "no fuzz target for corpus $name" >&2
    status=1
    continue
  fi
  count=$(find "$corpus" -type f | wc -l)
  echo "== $name: replaying $count inputs"
  find "$corpus" -type f -print0 | xargs -0 -r "$target" -rss_limit_mb=2048 >/dev/null 2>"build/fuzz/$name.log" \
    || { cat "build/fuzz/$name.log" >&2; status=1; continue; }
  if [ "$seconds" -gt 0 ]; then
    work=$(mktemp -d)
    "$target" -max_total_time="$seconds" -rss_limit_mb=2048 "$work" "$corpus" >"build/fuzz/$name.run.log" 2>&1 \
      || { tail -n 40 "build/fuzz/$name.run.log" >&2; status=1; }
    rm -rf "$work"
  fi
done
for target in build/fuzz/fuzz/*_fuzz; do
  [ -d "fuzz/corpus/$(basename "$target")" ] || { echo "fuzz target $(basename "$target") has no corpus" >&2; status=1; }
done
exit $status
