#!/usr/bin/env bash
# Runs every test program of the sanitizer build whole, once, in random order,
# so no test passes only because of what an earlier one left behind. The seed
# is printed; --gtest_shuffle --gtest_random_seed=N repeats that order.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
seed=$((RANDOM % 99999 + 1))
echo "== shuffling with seed $seed"
for program in build/default/tests/pm32_*_tests; do
  log="$program.shuffled.log"
  if PIXMILL_PROFILE="$PWD/build/default/tests/no-profile.ini" "$program" --gtest_shuffle \
      --gtest_random_seed="$seed" --gtest_brief=1 >"$log" 2>&1; then
    echo "== $(basename "$program"): passed"
  else
    tail -n 80 "$log" >&2
    echo "== $(basename "$program"): FAILED" >&2
    status=1
  fi
done
exit $status
