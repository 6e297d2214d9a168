#!/usr/bin/env bash
# Runs every test program of the sanitizer build whole, once, in random order,
# so no test passes only because of what an earlier one left behind. Each
# program prints its seed; --gtest_random_seed=N repeats that order.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
for program in build/default/tests/pm32_*_tests; do
  log="$program.shuffled.log"
  if PIXMILL_PROFILE="$PWD/build/default/tests/no-profile.ini" "$program" --gtest_shuffle \
      --gtest_brief=1 >"$log" 2>&1; then
    echo "== $(basename "$program"): $(grep -m1 -o 'seed of [0-9]*' "$log"), passed"
  else
    tail -n 80 "$log" >&2
    echo "== $(basename "$program"): FAILED" >&2
    status=1
  fi
done
exit $status
